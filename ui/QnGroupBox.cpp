#include "ui/QnGroupBox.h"

#include "ui/StoreAndRepaint.h"

TQnGroupBox::TQnGroupBox(TComponent* AOwner) : TRoundedCorners<TGroupBox>(AOwner) {
  SetColor(clSilver);
  SetBrdStyle(brdNormal);
  SetBrdColor(0x004000);
  SetRadiusTL(2);
  SetRadiusTR(2);
  SetRadiusBL(2);
  SetRadiusBR(2);
}

void TQnGroupBox::SetColor(TColor value) {
  StoreAndRepaint(this, FColor, value);
}
void TQnGroupBox::SetBrdColor(TColor value) {
  StoreAndRepaint(this, FBrdColor, value);
}
void TQnGroupBox::SetBrdStyle(TBrdStyle value) {
  StoreAndRepaint(this, FBrdStyle, value);
}

// brdNormal draws the white line first, shifted one pixel right and down, and the dark line
// over it: the white shows inside the dark one at the top and left, outside it at the right
// and bottom, which reads as an engraved edge.
void TQnGroupBox::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(FColor);
  canvas->FillRect(ClientRect());
  const int w = Width(), h = Height();
  if (FBrdStyle == brdSingle) {
    canvas->Pen()->SetColor(FBrdColor);
    DrawFrame(canvas, 0, 0, w, h);
    return;
  }
  canvas->Pen()->SetColor(clWhite);
  DrawFrame(canvas, 1, 1, w, h);
  canvas->Pen()->SetColor(FBrdColor);
  DrawFrame(canvas, 0, 0, w - 1, h - 1);
}

#include "ui/QnButton.h"

#include "forms/Bitmap.h"
#include "ui/StoreAndRepaint.h"

TQnButton::TQnButton(TComponent* AOwner) : TSkinButton<TRoundedCorners<TGraphicControl>>(AOwner) {
  SetWidth(75);
  SetHeight(30);
  SetInactiveColor(0x004000);
  SetActiveColor(clLime);
  SetInactiveTextColor(clYellow);
  SetActiveTextColor(0x004000);
  SetBackColor(clSilver);
  SetABrdColor(clBlack);
  SetIBrdColor(clBlack);
  SetRadiusTL(2);
  SetRadiusTR(2);
  SetRadiusBL(2);
  SetRadiusBR(2);
  SetAlignment(taCenter);
}

void TQnButton::SetCaption(const std::string& value) {
  StoreAndRepaint(this, FCaption, value);
}
void TQnButton::SetInactiveColor(TColor value) {
  StoreAndRepaint(this, FInactiveColor, value);
}
void TQnButton::SetActiveColor(TColor value) {
  StoreAndRepaint(this, FActiveColor, value);
}
void TQnButton::SetInactiveTextColor(TColor value) {
  StoreAndRepaint(this, FInactiveTextColor, value);
}
void TQnButton::SetActiveTextColor(TColor value) {
  StoreAndRepaint(this, FActiveTextColor, value);
}
void TQnButton::SetBackColor(TColor value) {
  StoreAndRepaint(this, FBackColor, value);
}
void TQnButton::SetABrdColor(TColor value) {
  StoreAndRepaint(this, FABrdColor, value);
}
void TQnButton::SetIBrdColor(TColor value) {
  StoreAndRepaint(this, FIBrdColor, value);
}
void TQnButton::SetAlignment(TAlignment value) {
  StoreAndRepaint(this, FAlignment, value);
}

// Halved toward zero, also when the caption is wider than the button and the offset is
// negative; the text is then cut by the button's edges.
int TQnButton::CaptionLeft(int textWidth) const {
  const int w = Width(), margin = Height() / 2;
  if (FAlignment == taLeftJustify) return margin;
  if (FAlignment == taRightJustify) return w - textWidth - margin;
  return (w - textWidth) / 2;
}

// Drawn off screen and copied in one step, so the fill, frame and text never flicker. The
// fill floods from the centre up to the frame, which keeps BackColor in the corners.
void TQnButton::Paint() {
  const int w = Width(), h = Height();
  const bool active = Active();
  TBitmap image;
  image.SetHeight(h);
  image.SetWidth(w);
  TCanvas* canvas = image.Canvas();
  canvas->Brush()->SetColor(FBackColor);
  canvas->FillRect({0, 0, w, h});
  canvas->Pen()->SetColor(active ? FABrdColor : FIBrdColor);
  canvas->Brush()->SetColor(active ? FActiveColor : FInactiveColor);
  DrawFrame(canvas, 0, 0, w, h);
  canvas->FloodFill(w / 2, h / 2, canvas->Pen()->Color(), TFillStyle::fsBorder);
  canvas->SetFont(Font());
  canvas->Font()->SetColor(active ? FActiveTextColor : FInactiveTextColor);
  canvas->Brush()->SetStyle(TBrushStyle::bsClear);
  const TSize text = canvas->TextExtent(FCaption);
  canvas->TextOut(CaptionLeft(text.cx), (h - text.cy) / 2, FCaption);
  Canvas()->Draw(0, 0, &image);
}

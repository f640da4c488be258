#include "forms/Image.h"

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 105, 105);
  FPicture.OnChange = [this](TObject*) { PictureChanged(); };
}

void TImage::SetAutoSize(bool value) {
  FAutoSize = value;
  PictureChanged();
}

void TImage::SetStretch(bool value) {
  if (value == FStretch) return;
  FStretch = value;
  PictureChanged();
}

void TImage::SetCenter(bool value) {
  if (value == FCenter) return;
  FCenter = value;
  PictureChanged();
}

void TImage::PictureChanged() {
  if (FAutoSize && FPicture.Width() > 0 && FPicture.Height() > 0)
    SetBounds(Left(), Top(), FPicture.Width(), FPicture.Height());
  // Only a picture that covers the whole control hides what lies beneath it.
  bool covers = FPicture.HasBitmap() &&
                (FStretch || (FPicture.Width() >= Width() && FPicture.Height() >= Height()));
  SetControlStyle(covers ? ControlStyle() | csOpaque : ControlStyle() & ~csOpaque);
  Invalidate();
}

void TImage::Paint() {
  if (FPicture.Empty()) return;
  int w = FPicture.Width(), h = FPicture.Height();
  TRect dest = Bounds(0, 0, w, h);
  if (FStretch)
    dest = ClientRect();
  else if (FCenter)
    dest = Bounds((Width() - w) / 2, (Height() - h) / 2, w, h);
  Canvas()->StretchDraw(dest, FPicture.Graphic());
}

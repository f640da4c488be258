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

// An opaque control that grew past its picture would leave the uncovered part unpainted,
// showing whatever was there before; so the opacity follows every change of size.
void TImage::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TGraphicControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  UpdateOpacity();
}

bool TImage::CoversControl() const {
  return FPicture.HasBitmap() &&
         (FStretch || (FPicture.Width() >= Width() && FPicture.Height() >= Height()));
}

void TImage::UpdateOpacity() {
  SetControlStyle(CoversControl() ? ControlStyle() | csOpaque : ControlStyle() & ~csOpaque);
}

void TImage::PictureChanged() {
  if (FAutoSize && FPicture.Width() > 0 && FPicture.Height() > 0)
    SetBounds(Left(), Top(), FPicture.Width(), FPicture.Height());
  UpdateOpacity();
  Invalidate();
}

void TImage::Paint() {
  TPicture* picture = ShownPicture();
  if (picture->Empty()) return;
  int w = picture->Width(), h = picture->Height();
  TRect dest = Bounds(0, 0, w, h);
  if (FStretch)
    dest = ClientRect();
  else if (FCenter)
    dest = Bounds((Width() - w) / 2, (Height() - h) / 2, w, h);
  Canvas()->StretchDraw(dest, picture->Graphic());
}

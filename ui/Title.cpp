#include "ui/Title.h"

#include "forms/Exceptions.h"

TCanvas* TTitle::Canvas() {
  TPicture* picture = Picture();
  if (picture->Empty()) {
    TBitmap bitmap(Width(), Height());
    picture->SetGraphic(&bitmap);
  }
  if (!picture->HasBitmap())
    throw EInvalidOperation("Can only modify an image if it contains a bitmap");
  return picture->Bitmap()->Canvas();
}

#include "ui/PictureControl.h"

bool TPictureControl::CoversControl() const {
  const TPicture* picture = Picture();
  return picture->HasBitmap() && picture->Width() >= Width() && picture->Height() >= Height();
}

#pragma once
// The picture drawing the title picture and the picture button share: a picture shown at
// its own size from the top-left corner, centred, or stretched over the control (stretch
// wins), with automatic sizing to the picture.

#include "forms/Image.h"

class TPictureControl : public TImage {
 public:
  using TImage::TImage;

 protected:
  // Only a bitmap at least as large as the control counts: a narrower one stretched over
  // it still lets the parent paint beneath.
  bool CoversControl() const override;
};

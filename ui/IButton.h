#pragma once
// The picture button: the close button of the title strip. It shows Picture normally and
// PictureA while the pointer is over it; Picture alone decides its size and opacity.

#include "ui/PictureControl.h"
#include "ui/SkinButton.h"

class TIButton : public TSkinButton<TPictureControl> {
 public:
  explicit TIButton(TComponent* AOwner);

  TPicture* PictureA() { return &FPictureA; }
  void SetPictureA(const TPicture* value) { FPictureA.Assign(value); }

 protected:
  TPicture* ShownPicture() override { return Active() ? &FPictureA : Picture(); }

 private:
  TPicture FPictureA;
};

#pragma once
// The title picture: a bitmap stretched across the top of a borderless window. A left press
// on it drags the window.

#include "ui/CaptionDrag.h"
#include "ui/PictureControl.h"

class TTitle : public TCaptionDrag<TPictureControl> {
 public:
  explicit TTitle(TComponent* AOwner) : TCaptionDrag<TPictureControl>(AOwner) {}

  // The canvas of the picture's bitmap, not the control's: what is drawn here becomes part
  // of the picture and stays. An empty picture first gets a bitmap of the control's size;
  // a picture holding another kind of graphic raises EInvalidOperation.
  TCanvas* Canvas();
};

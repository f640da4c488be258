#pragma once
// A picture box: shows its picture at the picture's own size from its top-left corner
// (or stretched over the whole control), and with AutoSize takes the picture's size.

#include "forms/GraphicControl.h"
#include "forms/Picture.h"

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* AOwner);

  TPicture* Picture() { return &FPicture; }
  void SetPicture(const TPicture* value) { FPicture.Assign(value); }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool value);
  bool Center() const { return FCenter; }
  void SetCenter(bool value);

 protected:
  void Paint() override;

 private:
  void PictureChanged();

  TPicture FPicture;
  bool FAutoSize = false;
  bool FStretch = false;
  bool FCenter = false;
};

#pragma once
// A picture box: shows its picture at the picture's own size from its top-left corner
// (or stretched over the whole control), and with AutoSize takes the picture's size.

#include "forms/GraphicControl.h"
#include "forms/Picture.h"

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* AOwner);

  TPicture* Picture() { return &FPicture; }
  const TPicture* Picture() const { return &FPicture; }
  void SetPicture(const TPicture* value) { FPicture.Assign(value); }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool value);
  bool Center() const { return FCenter; }
  void SetCenter(bool value);

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

 protected:
  void Paint() override;
  // The picture painted now; Picture alone decides size and opacity.
  virtual TPicture* ShownPicture() { return &FPicture; }
  // Whether the picture hides everything beneath the control, so the parent need not
  // paint there.
  virtual bool CoversControl() const;
  // Takes the picture's size (AutoSize), updates the opacity and repaints.
  void PictureChanged();

 private:
  void UpdateOpacity();

  TPicture FPicture;
  bool FAutoSize = false;
  bool FStretch = false;
  bool FCenter = false;
};

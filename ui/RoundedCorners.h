#pragma once
// The four corner radii that panels and hover buttons share, each repainting the control
// when set, and the frame drawn with them.

#include "ui/RoundedFrame.h"
#include "ui/StoreAndRepaint.h"

template <class TBase>
class TRoundedCorners : public TBase {
 public:
  using TBase::TBase;

  int RadiusTL() const { return FRadiusTL; }
  void SetRadiusTL(int value) { StoreAndRepaint(this, FRadiusTL, value); }
  int RadiusTR() const { return FRadiusTR; }
  void SetRadiusTR(int value) { StoreAndRepaint(this, FRadiusTR, value); }
  int RadiusBL() const { return FRadiusBL; }
  void SetRadiusBL(int value) { StoreAndRepaint(this, FRadiusBL, value); }
  int RadiusBR() const { return FRadiusBR; }
  void SetRadiusBR(int value) { StoreAndRepaint(this, FRadiusBR, value); }

 protected:
  void DrawFrame(TCanvas* canvas, int x, int y, int right, int bottom) const {
    DrawRoundedFrame(canvas, x, y, right, bottom, FRadiusTL, FRadiusTR, FRadiusBR, FRadiusBL);
  }

 private:
  int FRadiusTL = 2;
  int FRadiusTR = 2;
  int FRadiusBL = 2;
  int FRadiusBR = 2;
};

#pragma once
// A windowless control: it has no window of its own, paints on its parent's pixels inside
// its bounds (siblings of this kind in creation order, the later over the earlier), and
// receives its mouse input through the parent.

#include "forms/Control.h"

class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}
};

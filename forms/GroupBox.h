#pragma once
// A plain windowed container: its children sit relative to its top-left corner and are
// clipped to it; it paints itself as one flat colour. Subclasses draw their own frames.

#include "forms/WinControl.h"

class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TComponent* AOwner);
};

#include "forms/GroupBox.h"

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetBounds(0, 0, 185, 105);
  SetParentColor(true);
}

#pragma once
// The setter rule of the skinned controls' visual properties: store the value and put the
// new look on the screen before returning. There is no comparison with the old value, so
// setting a property always repaints, even to the value it already had.

#include "forms/Control.h"

template <class T>
void StoreAndRepaint(TControl* control, T& field, const T& value) {
  field = value;
  control->Repaint();
}

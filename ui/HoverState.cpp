#include "ui/HoverState.h"

#include "platform/display/DisplayBackend.h"

THoverState::THoverState(TControl* control) : FControl(control) {
  FTimer = std::make_unique<TTimer>(nullptr);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(10);
  FTimer->OnTimer = [this](TObject*) { Tick(); };
}

// The edge pixels do not count: a pointer arriving along the left column or top row
// leaves the button as it is until it moves further in.
void THoverState::MouseMoved(int X, int Y) {
  TPoint pointer = TheDisplay().PointerPos();
  FScreenLeft = pointer.X - X;
  FScreenTop = pointer.Y - Y;
  if (X > 0 && X < FControl->Width() && Y > 0 && Y < FControl->Height() && !FActive) Become(true);
}

// The rectangle is the one measured at the last movement: a window moved under a still
// pointer keeps its button active while the pointer lies where the button was.
void THoverState::Tick() {
  if (!FActive) return;
  TPoint p = TheDisplay().PointerPos();
  if (FScreenLeft < p.X && p.X < FScreenLeft + FControl->Width() && FScreenTop < p.Y &&
      p.Y < FScreenTop + FControl->Height())
    return;
  Become(false);
}

void THoverState::Become(bool active) {
  FActive = active;
  FTimer->SetEnabled(active);
  FControl->Repaint();
}

#pragma once
// The active look of the program's buttons: it starts with the first mouse movement
// strictly inside the button and ends at the first tick of a 10 ms timer that finds the
// pointer outside the rectangle the button had on the screen at the last movement. No
// leave notification is used, and the timer runs only while the button is active.

#include <memory>

#include "forms/Control.h"
#include "forms/Timer.h"

class THoverState {
 public:
  // Repaints control whenever the state changes.
  explicit THoverState(TControl* control);
  THoverState(const THoverState&) = delete;
  THoverState& operator=(const THoverState&) = delete;

  bool Active() const { return FActive; }
  // A mouse movement over the control, at (X, Y) in its own coordinates.
  void MouseMoved(int X, int Y);

 private:
  void Tick();
  void Become(bool active);

  TControl* FControl;
  bool FActive = false;
  int FScreenTop = 0;
  int FScreenLeft = 0;
  std::unique_ptr<TTimer> FTimer;
};

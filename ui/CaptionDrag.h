#pragma once
// The press that drags a borderless window: a left press on the control asks the window
// that owns it to move as if its caption bar had been pressed, and returns when the button
// is released. The press goes no further, so neither OnMouseDown nor OnClick fires for it.

#include "forms/Control.h"

// Hands the press to owner's caption drag. Throws EInvalidCast when the owner is no window.
void DragOwnerWindow(TComponent* owner);

template <class TBase>
class TCaptionDrag : public TBase {
 public:
  using TBase::TBase;

  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_LBUTTONDOWN) {
      DragOwnerWindow(this->Owner());
      return;
    }
    TBase::WndProc(Message);
  }
};

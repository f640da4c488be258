#pragma once
// What the program's two kinds of button share, on top of whatever control they are: the
// hover state that switches their look, and the Enter and Escape keys of a window's
// default and cancel buttons.

#include "forms/Control.h"
#include "platform/display/DisplayEvent.h"
#include "ui/HoverState.h"

template <class TBase>
class TSkinButton : public TBase {
 public:
  explicit TSkinButton(TComponent* AOwner) : TBase(AOwner), FHover(this) {}

  // Neither changes the look, so neither repaints.
  bool Default() const { return FDefault; }
  void SetDefault(bool value) { FDefault = value; }
  bool Cancel() const { return FCancel; }
  void SetCancel(bool value) { FCancel = value; }

  // True while the pointer is over the button.
  bool Active() const { return FHover.Active(); }

  // A key the button takes stops the window's search even when the button is disabled,
  // so nothing else acts on it; only an enabled button clicks.
  void WndProc(TMessage& Message) override {
    if (Message.Msg == CM_DIALOGKEY && TakesKey(Message)) {
      if (this->Enabled()) this->Click();
      Message.Result = 1;
      return;
    }
    TBase::WndProc(Message);
  }

 protected:
  // The hover logic takes the mouse movements; they raise no OnMouseMove.
  void MouseMove(TShiftState, int X, int Y) override { FHover.MouseMoved(X, Y); }

 private:
  bool TakesKey(const TMessage& Message) const {
    if (Message.LParam & (ssShift | ssCtrl | ssAlt)) return false;
    return (Message.WParam == VK_RETURN && FDefault) || (Message.WParam == VK_ESCAPE && FCancel);
  }

  THoverState FHover;
  bool FDefault = false;
  bool FCancel = false;
};

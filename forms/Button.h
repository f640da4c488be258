#pragma once
// A plain push button: a raised face with a centred caption. It clicks on a press and
// release over it, on Space while focused, and on Enter or Esc through the window's
// dialog-key query when it is the default or the cancel button.

#include "forms/WinControl.h"

class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* AOwner);

  bool Default() const { return FDefault; }
  void SetDefault(bool value) { FDefault = value; }
  bool Cancel() const { return FCancel; }
  void SetCancel(bool value) { FCancel = value; }
  // Set on the button's window when the button is clicked.
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int value) { FModalResult = value; }

  bool AcceptsFocus() const override { return true; }
  void WndProc(TMessage& Message) override;

 protected:
  void Paint() override;
  void Click() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;

 private:
  bool FDefault = false;
  bool FCancel = false;
  int FModalResult = 0;
};

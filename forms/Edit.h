#pragma once
// The single-line edit field: a sunken border around a window-coloured field, a caret,
// typing, Backspace/Delete, the arrows, Home/End, Shift to select, Ctrl+A, copy, cut and
// paste, and PasswordChar, which shows every character as that character and refuses to
// let the text be copied out. There is no length limit unless MaxLength is set.

#include <functional>
#include <memory>
#include <string>

#include "forms/Timer.h"
#include "forms/WinControl.h"

class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* AOwner);

  void SetText(const std::string& value) override;
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char value);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int value) { FMaxLength = value < 0 ? 0 : value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }

  // The caret sits at SelStart + SelLength; a selection made leftwards has its anchor
  // on the right, so SelStart is always the lower end.
  int SelStart() const;
  int SelLength() const;
  void SetSelStart(int value);
  void SetSelLength(int value);
  std::string SelText() const;
  void SetSelText(const std::string& value);
  void SelectAll();
  void ClearSelection() { SetSelText(""); }
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  int CaretPos() const { return FCaret; }

  std::function<void(TObject* Sender)> OnChange;

  bool AcceptsFocus() const override { return true; }
  bool WantsKey(WORD Key, TShiftState Shift) const override;

 protected:
  void Paint() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  virtual void Change();
  // Entering the field by the keyboard or from the program selects its whole text; a click
  // then puts the caret where it landed.
  void DoEnter() override;
  void DoExit() override;

 private:
  std::string DisplayText() const;
  void MoveCaret(int pos, bool extend);
  void ReplaceSelection(const std::string& text);
  int PosFromX(int x);
  void ScrollToCaret(TCanvas* canvas, int textWidth);
  // The caret blinks while the field has the focus on a shown window; every move or edit
  // shows it at once and starts the blink over, so it never vanishes while typing.
  void CaretMoved();
  void StartBlink();
  void StopBlink();
  void BlinkTick();

  char FPasswordChar = 0;
  int FMaxLength = 0;
  bool FReadOnly = false;
  int FAnchor = 0;  // the fixed end of the selection
  int FCaret = 0;   // the moving end, where the caret is drawn
  int FScroll = 0;  // pixels of text scrolled out on the left
  bool FSelecting = false;
  bool FCaretOn = true;            // the caret's phase; drawn only while focused
  std::unique_ptr<TTimer> FBlink;  // runs only while the caret blinks
};

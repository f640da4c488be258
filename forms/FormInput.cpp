// How a form turns the display's input into control messages: the mouse goes to the
// control under the pointer (or to the one that holds the capture while a button is
// down), keys go to the focused control after the window has had its say on Tab, Enter
// and Esc.

#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/LifeGuard.h"
#include "platform/MessageLoop.h"

namespace {
WPARAM ButtonBit(int button) {
  if (button == mbRight) return MK_RBUTTON;
  if (button == mbMiddle) return MK_MBUTTON;
  return MK_LBUTTON;
}

UINT ButtonMessage(int button, bool down) {
  if (button == mbRight) return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
  if (button == mbMiddle) return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
  return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
}

TShiftState EventShift(const TDisplayEvent& e) {
  TShiftState s = 0;
  if (e.Shift) s |= ssShift;
  if (e.Ctrl) s |= ssCtrl;
  if (e.Alt) s |= ssAlt;
  return s;
}

// A disabled parent takes the input of everything inside it away.
bool EnabledInWindow(const TControl* control) {
  for (const TControl* c = control; c; c = c->Parent())
    if (!c->Enabled()) return false;
  return true;
}

// Searched from the top down, so a control that a handler has freed is never dereferenced.
bool Holds(const TWinControl* parent, const TControl* control) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    const TControl* c = parent->Controls(i);
    if (c == control) return true;
    if (c->IsWindowed() && Holds(static_cast<const TWinControl*>(c), control)) return true;
  }
  return false;
}

bool IsDialogKey(WORD key) {
  return key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE ||
         (key >= VK_LEFT && key <= VK_DOWN);
}
}  // namespace

// The backend hands events over from the loop (one posted message each), so handling them
// here may open a modal loop; an exception from a handler is shown, as from any message.
void TForm::ReceiveDisplayEvent(const TDisplayEvent& event) {
  TLifeGuard guard(this);
  try {
    HandleDisplayEvent(event);
  } catch (...) {
    Application->HandleException(guard.Alive() ? this : nullptr);
  }
}

void TForm::HandleDisplayEvent(const TDisplayEvent& e) {
  switch (e.Kind) {
    case TDisplayEventKind::MouseMove:
    case TDisplayEventKind::MouseDown:
    case TDisplayEventKind::MouseUp:
      HandleMouse(e);
      break;
    case TDisplayEventKind::KeyDown:
      if (AcceptsInput()) HandleKeyDown(e);
      break;
    case TDisplayEventKind::Char:
      if (AcceptsInput()) HandleChar(e);
      break;
    case TDisplayEventKind::Close:
      // Asked from outside (a window manager, another client, the window destroyed): no
      // input that a modal window holds back. Ignored, it would leave the program running
      // with its main window gone, or a window that refuses to close. Closing the main
      // window ends the program, and the modal windows above it end as cancelled.
      if (Visible()) Close();
      break;
    default:
      break;
  }
}

void TForm::HandleMouse(const TDisplayEvent& e) {
  WPARAM mods = (e.Shift ? MK_SHIFT : 0) | (e.Ctrl ? MK_CONTROL : 0) | (e.Alt ? MK_ALT : 0);
  if (!AcceptsInput()) {
    // A window blocked by a modal one loses the mouse, as a disabled window does: a press
    // that began before the modal window opened ends without a click.
    FCapture = nullptr;
    FButtons = 0;
    return;
  }
  if (e.Kind == TDisplayEventKind::MouseMove) {
    DeliverMouse(FCapture ? FCapture : ControlAtPos(e.X, e.Y), WM_MOUSEMOVE, e.X, e.Y, mods);
    return;
  }
  bool down = e.Kind == TDisplayEventKind::MouseDown;
  if (!down && !(FButtons & ButtonBit(e.Button))) return;  // its press went elsewhere
  TControl* target = FCapture ? FCapture : ControlAtPos(e.X, e.Y);
  TLifeGuard guard(this);
  if (down) {
    FButtons |= ButtonBit(e.Button);
    if (target->ControlStyle() & csCaptureMouse) FCapture = target;
    auto* win = dynamic_cast<TWinControl*>(target);
    if (win && win->AcceptsFocus() && win->CanFocus()) SetActiveControl(win);
    // OnEnter may have freed the form or the control that was pressed.
    if (!guard.Alive()) return;
    if (target != this && !Holds(this, target)) return;
  } else {
    FButtons &= ~ButtonBit(e.Button);
  }
  FDragged = false;
  DeliverMouse(target, ButtonMessage(e.Button, down), e.X, e.Y, mods);
  if (!guard.Alive()) return;
  // A caption drag swallowed the release; nothing is held any more.
  if (FDragged || FButtons == 0) {
    FCapture = nullptr;
    if (FDragged) FButtons = 0;
  }
}

void TForm::DeliverMouse(TControl* target, UINT msg, int formX, int formY, WPARAM mods) {
  if (!target || !EnabledInWindow(target)) return;
  TPoint o = target->WindowOffset();
  target->Perform(msg, FButtons | mods, PointToLParam(formX - o.X, formY - o.Y));
}

void TForm::HandleKeyDown(const TDisplayEvent& e) {
  TShiftState shift = EventShift(e);
  WORD key = static_cast<WORD>(e.Key);
  TWinControl* target = FActiveControl && FActiveControl->CanFocus() ? FActiveControl : this;
  TLifeGuard guard(this);
  if (IsDialogKey(key) && !target->WantsKey(key, shift)) {
    if (Perform(CM_DIALOGKEY, key, static_cast<LPARAM>(shift)) != 0 || !guard.Alive()) return;
  }
  if (FKeyPreview && target != this) {
    TWinControl::KeyDown(key, shift);
    // The window's handler may have closed and freed it, or freed the focused control.
    if (key == 0 || !guard.Alive() || !Holds(this, target)) return;
  }
  target->DoKeyDown(key, shift);
}

void TForm::HandleChar(const TDisplayEvent& e) {
  if (e.Char > 255) return;
  char ch = static_cast<char>(static_cast<unsigned char>(e.Char));
  TWinControl* target = FActiveControl && FActiveControl->CanFocus() ? FActiveControl : this;
  target->DoKeyPress(ch);
}

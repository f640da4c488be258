#include "forms/Form.h"

#include <algorithm>

#include "forms/Application.h"
#include "forms/Exceptions.h"
#include "forms/LifeGuard.h"
#include "platform/MessageLoop.h"
#include "platform/display/DisplayBackend.h"

namespace {
TRect UnionRect(const TRect& a, const TRect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}
}  // namespace

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
  // Top-level, so that broadcasts such as WM_FONTCHANGE reach the form.
  FHandle =
      AllocateHWnd([this](UINT m, WPARAM w, LPARAM l) { return WindowProcedure(m, w, l); }, true);
  if (Application) Application->FormCreated(this);
  SetVisible(false);
  SetParentFont(false);
  SetBounds(0, 0, 320, 240);
}

TForm::~TForm() {
  // Owned controls may still call back into the form while they go, so they go first.
  Destroying();
  DestroyComponents();
  if (Application) Application->FormDestroyed(this);
  if (FWindow) TheDisplay().DestroyWindow(FWindow);
  DestroyWindow(FHandle);
}

void TForm::AfterConstruction() {
  if (FCreated) return;
  FCreated = true;
  if (OnCreate) OnCreate(this);
}

LRESULT TForm::WindowProcedure(UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    return Perform(msg, wParam, lParam);
  } catch (...) {
    Application->HandleException(this);
    return 0;
  }
}

void TForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  bool resized = AWidth != Width() || AHeight != Height();
  bool moved = ALeft != Left() || ATop != Top();
  if (!resized && !moved) return;
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (resized) {
    FSurface.SetSize(Width(), Height());
    InvalidateClientRect(ClientRect());
  }
  if (FWindow) TheDisplay().SetBounds(FWindow, BoundsRect());
}

void TForm::SetText(const std::string& value) {
  TWinControl::SetText(value);
  if (FWindow) TheDisplay().SetTitle(FWindow, value);
}

void TForm::EnsureWindow() {
  if (FWindow) return;
  TWindowParams params;
  params.Title = Caption();
  params.Bounds = BoundsRect();
  params.Visible = false;
  FWindow =
      TheDisplay().CreateWindow(params, [this](const TDisplayEvent& e) { ReceiveDisplayEvent(e); });
}

void TForm::Center() {
  TSize screen = TheDisplay().ScreenSize();
  SetBounds((screen.cx - Width()) / 2, (screen.cy - Height()) / 2, Width(), Height());
}

void TForm::Show() {
  SetVisible(true);
}
void TForm::Hide() {
  SetVisible(false);
}

void TForm::SetVisible(bool value) {
  if (value == Visible()) return;
  if (!value) {
    TWinControl::SetVisible(false);
    FCapture = nullptr;
    FButtons = 0;
    if (FWindow) TheDisplay().SetVisible(FWindow, false);
    if (Application->ActiveForm() == this) Application->SetActiveForm(nullptr);
    // A hidden modal window could take no more input, and every other window waits for it:
    // hiding it ends its showing as a cancel would.
    if (FInModal && FModalResult == mrNone) FModalResult = mrCancel;
    DoHide();
    return;
  }
  AfterConstruction();
  if (!FPlaced && FPosition == TPosition::poScreenCenter) Center();
  FPlaced = true;
  EnsureWindow();
  TWinControl::SetVisible(true);
  if (!FActiveControl) SelectFirst();
  DoShow();
  InvalidateClientRect(ClientRect());
  PaintPending();
  TheDisplay().SetVisible(FWindow, true);
  // Activation comes through the loop, as it does from the platform, so that its handler
  // runs after the window is on screen and under the loop's exception handling.
  if (Application->ActiveForm() != this) {
    Application->SetActiveForm(this);
    PostMessage(FHandle, CM_ACTIVATE, 0, 0);
  }
  if (Application->OnFormShown) Application->OnFormShown(this);
}

bool TForm::Active() const {
  return Application->ActiveForm() == this;
}

void TForm::Release() {
  PostMessage(FHandle, CM_RELEASE, 0, 0);
}

int TForm::ShowModal() {
  if (Visible() || FInModal) throw EInvalidOperation("Cannot make a visible window modal");
  TLifeGuard guard(this);
  const int result = RunModal();
  if (guard.Alive() && Application->OnModalEnd) Application->OnModalEnd(this, result);
  return result;
}

int TForm::RunModal() {
  TForm* previous = Application->ActiveForm();
  FModalResult = mrNone;
  FInModal = true;
  Application->PushModal(this);
  TLifeGuard guard(this);
  struct Restore {
    TForm* form;
    TForm* previous;
    const TLifeGuard& guard;
    ~Restore() {
      // A form freed while modal (Release from one of its own handlers) has already left
      // the application's lists; only the window behind it is left to restore.
      if (guard.Alive()) {
        form->Hide();
        form->FInModal = false;
        Application->PopModal(form);
      }
      // Going back to the window that was active is no new activation: its OnActivate
      // already ran when it first became active.
      if (Application->FormExists(previous) && previous->Visible())
        Application->SetActiveForm(previous);
    }
  } restore{this, previous, guard};
  Show();
  for (;;) {
    if (!guard.Alive()) return mrCancel;
    if (Application->Terminated() && FModalResult == mrNone) FModalResult = mrCancel;
    if (FModalResult != mrNone) break;
    Application->HandleMessage();
  }
  return FModalResult;
}

void TForm::Close() {
  if (FInModal) {
    FModalResult = mrCancel;
    return;
  }
  if (Application->MainForm() == this) Application->Terminate();
  Hide();
}

void TForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TForm::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(ClientRect());
}

void TForm::InvalidateClientRect(const TRect& rect) {
  TRect r = rect.Intersect(ClientRect());
  if (r.IsEmpty()) return;
  FDirty = UnionRect(FDirty, r);
  if (!FPaintPosted && Visible() && FHandle) {
    FPaintPosted = true;
    PostMessage(FHandle, CM_DEFERREDPAINT, 0, 0);
  }
}

void TForm::PaintPending() {
  if (!Visible() || FDirty.IsEmpty()) return;
  TRect area = FDirty;
  FDirty = {};
  PaintTree(&FSurface, {0, 0}, area);
  if (FWindow) TheDisplay().Present(FWindow, FSurface, area);
}

void TForm::SetActiveControl(TWinControl* control) {
  if (control == FActiveControl) return;
  if (control && (control == this || !ContainsControl(control))) return;
  TWinControl* old = FActiveControl;
  FActiveControl = control;
  if (old) {
    // OnExit may free the window; then there is no one left to take the focus.
    TLifeGuard guard(this);
    old->Perform(WM_KILLFOCUS, 0, 0);
    if (!guard.Alive()) return;
  }
  if (control && FActiveControl == control) control->Perform(WM_SETFOCUS, 0, 0);
}

void TForm::SelectFirst() {
  SelectNext(nullptr, true);
}

void TForm::SelectNext(TWinControl* current, bool forward) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return;
  int n = static_cast<int>(list.size());
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (list[i] == current) start = i;
  if (start < 0) start = forward ? n - 1 : 0;
  for (int step = 1; step <= n; ++step) {
    int i = ((forward ? start + step : start - step) % n + n) % n;
    TWinControl* c = list[i];
    if (c != current && c->TabStop() && c->AcceptsFocus() && c->CanFocus()) {
      SetActiveControl(c);
      return;
    }
  }
}

void TForm::ControlRemoving(TControl* control) {
  auto* win = dynamic_cast<TWinControl*>(control);
  if (FCapture && (FCapture == control || (win && win->ContainsControl(FCapture))))
    FCapture = nullptr;
  if (FActiveControl &&
      (FActiveControl == control || (win && win->ContainsControl(FActiveControl))))
    FActiveControl = nullptr;
}

bool TForm::AcceptsInput() const {
  TForm* modal = Application->ModalForm();
  return Visible() && Enabled() && (!modal || modal == this);
}

void TForm::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DEFERREDPAINT:
      FPaintPosted = false;
      PaintPending();
      return;
    case CM_RELEASE:
      delete this;
      return;
    case CM_ACTIVATE:
      if (Active() && Visible()) Activate();
      return;
    case WM_CLOSE:
      Close();
      return;
    case WM_NCLBUTTONDOWN:
      if (Message.WParam == HTCAPTION) CaptionDrag();
      return;
    case WM_FONTCHANGE:
      InvalidateClientRect(ClientRect());
      return;
    case CM_DIALOGKEY:
      if (Message.WParam == VK_TAB && !(Message.LParam & ssCtrl)) {
        SelectNext(FActiveControl, !(Message.LParam & ssShift));
        Message.Result = 1;
        return;
      }
      TWinControl::WndProc(Message);
      return;
    default:
      TWinControl::WndProc(Message);
  }
}

void TForm::CaptionDrag() {
  if (!FWindow) return;
  FDragged = true;
  TheDisplay().DragWindow(FWindow);
  TRect b = TheDisplay().Bounds(FWindow);
  TWinControl::SetBounds(b.Left, b.Top, Width(), Height());
}

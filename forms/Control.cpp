#include "forms/Control.h"

#include "forms/Exceptions.h"
#include "forms/Form.h"
#include "forms/WinControl.h"
#include "platform/display/DisplayBackend.h"

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_ALT) s |= ssAlt;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  return s;
}

TForm* GetParentForm(const TControl* control) {
  const TControl* top = control;
  while (top && top->Parent()) top = top->Parent();
  return dynamic_cast<TForm*>(const_cast<TControl*>(top));
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  FFont.OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
  if (FParent) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  for (const TControl* p = AParent; p; p = p->FParent)
    if (p == this) throw EInvalidOperation("Control cannot have itself as parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  InvalidateArea();
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth < 0 ? 0 : AWidth;
  FHeight = AHeight < 0 ? 0 : AHeight;
  InvalidateArea();
}

void TControl::SetVisible(bool value) {
  if (value == FVisible) return;
  if (!value) InvalidateArea();
  FVisible = value;
  if (value) InvalidateArea();
  Perform(CM_VISIBLECHANGED, value, 0);
}

bool TControl::VisibleInWindow() const {
  for (const TControl* c = this; c; c = c->FParent) {
    if (!c->FParent) return true;  // the window itself: its own state is Showing's business
    if (!c->FVisible) return false;
  }
  return true;
}

bool TControl::Showing() const {
  TForm* form = GetParentForm(this);
  return form && form->Visible() && VisibleInWindow();
}

void TControl::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor value) {
  FParentColor = false;
  if (value == FColor) return;
  FColor = value;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool value) {
  FParentColor = value;
  if (value) ParentColorChanged();
}

void TControl::ParentColorChanged() {
  if (!FParentColor || !FParent || FParent->Color() == FColor) return;
  FColor = FParent->Color();
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetFont(const TFont* value) {
  FParentFont = false;
  FFont.Assign(*value);
}

void TControl::SetParentFont(bool value) {
  FParentFont = value;
  if (value) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!FParentFont || !FParent) return;
  FTakingParentFont = true;
  FFont.Assign(*FParent->Font());
  FTakingParentFont = false;
}

// A font changed by anyone but the parent is the control's own from now on.
void TControl::FontChanged() {
  if (!FTakingParentFont) FParentFont = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetText(const std::string& value) {
  if (value == FText) return;
  FText = value;
  Perform(CM_TEXTCHANGED, 0, 0);
}

TPoint TControl::WindowOffset() const {
  TPoint p;
  for (const TControl* c = this; c && c->FParent; c = c->FParent) {
    p.X += c->FLeft;
    p.Y += c->FTop;
  }
  return p;
}

TRect TControl::WindowRect() const {
  TPoint o = WindowOffset();
  TRect r = Bounds(o.X, o.Y, FWidth, FHeight);
  for (const TControl* p = FParent; p; p = p->FParent) {
    TPoint po = p->WindowOffset();
    r = r.Intersect(Bounds(po.X, po.Y, p->FWidth, p->FHeight));
  }
  return r;
}

TPoint TControl::ClientToScreen(TPoint point) const {
  TPoint o = WindowOffset();
  TForm* form = GetParentForm(this);
  TPoint f = form ? TPoint{form->Left(), form->Top()} : TPoint{};
  return {point.X + o.X + f.X, point.Y + o.Y + f.Y};
}

TPoint TControl::ScreenToClient(TPoint point) const {
  TPoint zero = ClientToScreen({0, 0});
  return {point.X - zero.X, point.Y - zero.Y};
}

void TControl::InvalidateArea() {
  if (!VisibleInWindow()) return;
  if (TForm* form = GetParentForm(this)) form->InvalidateClientRect(WindowRect());
}

void TControl::Invalidate() {
  InvalidateArea();
}

void TControl::Update() {
  if (TForm* form = GetParentForm(this)) form->PaintPending();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

TCanvas* TControl::Canvas() {
  // While painting, the window has set the canvas up; otherwise point it at the control's
  // place on the window's pixels, so drawing outside Paint lands where the control is.
  if (!FPainting) {
    TForm* form = GetParentForm(this);
    if (form) {
      FCanvas.Attach(const_cast<TSurface*>(&form->Surface()), WindowOffset(), WindowRect());
    } else {
      FCanvas.Attach(nullptr);
    }
  }
  return &FCanvas;
}

void TControl::PaintOn(TSurface* surface, TPoint origin, const TRect& clip) {
  FCanvas.Attach(surface, origin, clip);
  FPainting = true;
  try {
    Paint();
  } catch (...) {
    FPainting = false;
    throw;
  }
  FPainting = false;
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
      HandleMouse(Message);
      break;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
    case CM_ENABLEDCHANGED:
      Invalidate();
      break;
    case CM_PARENTFONTCHANGED:
      ParentFontChanged();
      break;
    case CM_PARENTCOLORCHANGED:
      ParentColorChanged();
      break;
    default:
      break;
  }
}

void TControl::HandleMouse(TMessage& Message) {
  TShiftState shift = KeysToShiftState(Message.WParam);
  int x = LParamX(Message.LParam), y = LParamY(Message.LParam);
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
      if (FControlStyle & csClickEvents) FClicking = true;
      MouseDown(TMouseButton::mbLeft, shift | ssLeft, x, y);
      break;
    case WM_LBUTTONUP: {
      bool wasClicking = FClicking;
      FClicking = false;
      MouseUp(TMouseButton::mbLeft, shift, x, y);
      // A click is a press and a release over the same control: releasing elsewhere
      // (after dragging off it) cancels it.
      if (wasClicking && ClientRect().Contains(x, y)) Click();
      break;
    }
    case WM_RBUTTONDOWN:
      MouseDown(TMouseButton::mbRight, shift | ssRight, x, y);
      break;
    case WM_RBUTTONUP:
      MouseUp(TMouseButton::mbRight, shift, x, y);
      break;
    case WM_MBUTTONDOWN:
      MouseDown(TMouseButton::mbMiddle, shift | ssMiddle, x, y);
      break;
    case WM_MBUTTONUP:
      MouseUp(TMouseButton::mbMiddle, shift, x, y);
      break;
    default:
      MouseMove(shift, x, y);
      break;
  }
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

#include "forms/WinControl.h"

#include <algorithm>

#include "forms/Form.h"

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  // The children go first, while this object is still whole: a parent frees the controls
  // it holds, whoever owns them (each one takes itself out of its owner's list).
  while (!FControls.empty()) {
    TControl* child = FControls.back();
    child->Destroying();
    delete child;
  }
}

void TWinControl::InsertControl(TControl* AControl) {
  if (AControl->FParent == this) return;
  if (AControl->FParent) AControl->FParent->RemoveControl(AControl);
  AControl->FParent = this;
  FControls.push_back(AControl);
  if (auto* win = dynamic_cast<TWinControl*>(AControl)) FTabList.push_back(win);
  AControl->ParentFontChanged();
  AControl->ParentColorChanged();
  AControl->Invalidate();
}

void TWinControl::RemoveControl(TControl* AControl) {
  if (std::find(FControls.begin(), FControls.end(), AControl) == FControls.end()) return;
  AControl->InvalidateArea();
  if (TForm* form = GetParentForm(this)) form->ControlRemoving(AControl);
  FControls.erase(std::find(FControls.begin(), FControls.end(), AControl));
  auto tab = std::find(FTabList.begin(), FTabList.end(), AControl);
  if (tab != FTabList.end()) FTabList.erase(tab);
  AControl->FParent = nullptr;
}

bool TWinControl::ContainsControl(const TControl* AControl) const {
  for (const TControl* c = AControl; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(int x, int y) {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    if (c->IsWindowed() && c->Visible() && c->BoundsRect().Contains(x, y))
      return static_cast<TWinControl*>(c)->ControlAtPos(x - c->Left(), y - c->Top());
  }
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    if (!c->IsWindowed() && c->Visible() && c->Enabled() && c->BoundsRect().Contains(x, y))
      return c;
  }
  return this;
}

void TWinControl::Broadcast(TMessage& Message) {
  std::vector<TControl*> order;
  for (TControl* c : FControls)
    if (!c->IsWindowed()) order.push_back(c);
  for (TControl* c : FControls)
    if (c->IsWindowed()) order.push_back(c);
  for (TControl* c : order) {
    // A handler may free controls; skip any that are gone.
    if (std::find(FControls.begin(), FControls.end(), c) == FControls.end()) continue;
    c->WndProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyChildren(UINT msg) {
  std::vector<TControl*> children = FControls;
  for (TControl* c : children) c->Perform(msg, 0, 0);
}

int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  const auto& list = Parent()->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
  if (!Parent()) return;
  auto& list = Parent()->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  value = std::clamp(value, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* c : FTabList) {
    list.push_back(c);
    c->GetTabOrderList(list);
  }
}

bool TWinControl::CanFocus() const {
  if (!VisibleInWindow()) return false;
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const {
  TForm* form = GetParentForm(this);
  return form && form->ActiveControl() == this;
}

void TWinControl::SetFocus() {
  TForm* form = GetParentForm(this);
  if (!form || form == this || !CanFocus()) return;
  form->SetActiveControl(this);
}

bool TWinControl::WantsKey(WORD, TShiftState) const {
  return false;
}

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DIALOGKEY:
      Broadcast(Message);
      return;
    case CM_FONTCHANGED:
      TControl::WndProc(Message);
      NotifyChildren(CM_PARENTFONTCHANGED);
      return;
    case CM_COLORCHANGED:
      TControl::WndProc(Message);
      NotifyChildren(CM_PARENTCOLORCHANGED);
      return;
    case WM_SETFOCUS:
      Invalidate();
      DoEnter();
      return;
    case WM_KILLFOCUS:
      Invalidate();
      DoExit();
      return;
    default:
      TControl::WndProc(Message);
  }
}

void TWinControl::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(ClientRect());
}

void TWinControl::PaintTree(TSurface* surface, TPoint origin, const TRect& clip) {
  TRect area = Bounds(origin.X, origin.Y, Width(), Height()).Intersect(clip);
  if (area.IsEmpty()) return;
  std::vector<TControl*> children = FControls;
  // An opaque windowless child that covers the whole area hides this control's own
  // painting and every windowless sibling before it, so those are skipped.
  std::size_t firstShown = 0;
  bool covered = false;
  for (std::size_t i = 0; i < children.size(); ++i) {
    TControl* c = children[i];
    if (c->IsWindowed() || !c->Visible() || !(c->ControlStyle() & csOpaque)) continue;
    TRect r = Bounds(origin.X + c->Left(), origin.Y + c->Top(), c->Width(), c->Height());
    if (r.Intersect(area) == area) {
      firstShown = i;
      covered = true;
    }
  }
  if (!covered) PaintOn(surface, origin, area);
  // Windowless children in creation order, then windowed ones above them: the order in
  // which the platform stacks them.
  for (std::size_t i = firstShown; i < children.size(); ++i) {
    TControl* c = children[i];
    if (c->IsWindowed() || !c->Visible()) continue;
    TPoint o{origin.X + c->Left(), origin.Y + c->Top()};
    TRect r = Bounds(o.X, o.Y, c->Width(), c->Height()).Intersect(area);
    if (!r.IsEmpty()) c->PaintOn(surface, o, r);
  }
  for (TControl* c : children) {
    if (!c->IsWindowed() || !c->Visible()) continue;
    static_cast<TWinControl*>(c)->PaintTree(surface, {origin.X + c->Left(), origin.Y + c->Top()},
                                            area);
  }
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

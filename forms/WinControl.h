#pragma once
// A windowed control: it holds child controls (positioned relative to its top-left corner
// and clipped to it), lies above its windowless siblings, can take the keyboard focus,
// and has a place in its parent's tab order.

#include <vector>

#include "forms/Control.h"

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  bool IsWindowed() const override { return true; }

  // Children in the order they were inserted.
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int index) const { return FControls.at(index); }
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(const TControl* AControl) const;  // this or a descendant
  // The child (or deeper descendant) at (x, y) in this control's coordinates, windowed
  // children before windowless ones and the later before the earlier; this control when
  // no child is there. Hidden and disabled windowless controls are passed through.
  TControl* ControlAtPos(int x, int y);

  // Offers Message to the children one after another (windowless ones first, each kind in
  // creation order) until one sets a non-zero Result.
  void Broadcast(TMessage& Message);

  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value) { FTabStop = value; }
  int TabOrder() const;
  void SetTabOrder(int value);
  // Windowed descendants in tab order, depth first.
  void GetTabOrderList(std::vector<TWinControl*>& list) const;

  // Visible and enabled, with every parent up to the window.
  bool CanFocus() const;
  bool Focused() const;
  void SetFocus();
  // Whether a click or Tab may give this control the focus (edit fields, buttons).
  virtual bool AcceptsFocus() const { return false; }
  // Whether the control handles this key itself rather than leaving it to the window
  // (Tab, Enter, Esc and the arrows are the keys that ask).
  virtual bool WantsKey(WORD Key, TShiftState Shift) const;

  // Keyboard input as the window hands it to the focused control.
  void DoKeyDown(WORD& Key, TShiftState Shift) { KeyDown(Key, Shift); }
  void DoKeyPress(char& Key) { KeyPress(Key); }

  std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)> OnKeyDown;
  std::function<void(TObject* Sender, char& Key)> OnKeyPress;
  std::function<void(TObject* Sender)> OnEnter;
  std::function<void(TObject* Sender)> OnExit;

  void WndProc(TMessage& Message) override;

 protected:
  // Fills the client area with Color; subclasses that draw themselves override it.
  void Paint() override;
  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void DoEnter();
  virtual void DoExit();

 private:
  friend class TForm;
  void PaintTree(TSurface* surface, TPoint origin, const TRect& clip);
  void NotifyChildren(UINT msg);

  std::vector<TControl*> FControls;
  std::vector<TWinControl*> FTabList;
  bool FTabStop = false;
};

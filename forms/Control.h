#pragma once
// The base of everything that has a place on a window: bounds relative to its parent,
// visibility, font and colour that may follow the parent's, a caption, mouse events and
// the click, and painting through its canvas. Messages reach a control through Perform,
// which calls the virtual WndProc, so a subclass takes a message by overriding WndProc and
// passes the rest on to its base.

#include <cstdint>
#include <functional>
#include <string>

#include "forms/Canvas.h"
#include "forms/Component.h"
#include "forms/ControlMessages.h"
#include "forms/Font.h"

class TWinControl;
class TForm;

using WORD = std::uint16_t;

enum TControlStyleFlag : unsigned {
  csAcceptsControls = 1,
  csCaptureMouse = 2,
  csClickEvents = 4,
  // The control covers its whole rectangle when it paints; nothing under it shows.
  csOpaque = 8,
};
using TControlStyle = unsigned;

enum TAlignment : std::uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  virtual bool IsWindowed() const { return false; }

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
  void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
  void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
  void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  TRect ClientRect() const { return {0, 0, FWidth, FHeight}; }
  int ClientWidth() const { return FWidth; }
  int ClientHeight() const { return FHeight; }

  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool value);
  // Visible, and so is every parent up to the window (the window's own state aside).
  bool VisibleInWindow() const;
  // Visible on the screen: VisibleInWindow and the window is shown.
  bool Showing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool value);

  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool value);
  TFont* Font() { return &FFont; }
  const TFont* Font() const { return &FFont; }
  void SetFont(const TFont* value);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool value);

  const std::string& Caption() const { return FText; }
  void SetCaption(const std::string& value) { SetText(value); }
  const std::string& Text() const { return FText; }
  virtual void SetText(const std::string& value);

  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int value) { FHelpContext = value; }
  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle value) { FControlStyle = value; }

  // Invalidate marks the control for repainting from the loop; Update paints what is
  // marked in its window now; Repaint does both, so the new look is on screen on return.
  void Invalidate();
  void Update();
  void Repaint();
  void Refresh() { Repaint(); }

  // The canvas draws on the window's pixels with this control's top-left corner as (0, 0),
  // clipped to the control (and to its parents).
  TCanvas* Canvas();

  LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
  virtual void WndProc(TMessage& Message);

  // Position of this control's (0, 0) in its window's client area, and on the screen.
  TPoint WindowOffset() const;
  TPoint ClientToScreen(TPoint point) const;
  TPoint ScreenToClient(TPoint point) const;
  // The visible part of the control in its window's client coordinates.
  TRect WindowRect() const;

  std::function<void(TObject* Sender)> OnClick;
  std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>
      OnMouseDown;
  std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>
      OnMouseUp;
  std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)> OnMouseMove;

  // Called by the window to paint the control onto surface; origin is the control's
  // top-left corner on it, clip the part to paint (surface coordinates).
  void PaintOn(TSurface* surface, TPoint origin, const TRect& clip);

 protected:
  virtual void Paint() {}
  virtual void Click();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);

 private:
  friend class TWinControl;
  void HandleMouse(TMessage& Message);
  void FontChanged();
  void ParentFontChanged();
  void ParentColorChanged();
  void InvalidateArea();

  TWinControl* FParent = nullptr;
  int FLeft = 0;
  int FTop = 0;
  int FWidth = 0;
  int FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  TColor FColor = clBtnFace;
  bool FParentColor = false;
  TFont FFont;
  bool FParentFont = true;
  bool FTakingParentFont = false;
  std::string FText;
  int FHelpContext = 0;
  TControlStyle FControlStyle = csCaptureMouse | csClickEvents;
  bool FClicking = false;  // the left button went down on this control
  bool FPainting = false;
  TCanvas FCanvas;
};

// The window a control sits on (nullptr when its top parent is no window).
TForm* GetParentForm(const TControl* control);

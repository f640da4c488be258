#pragma once
// A top-level window of the program: borderless, placed in the middle of the screen when
// first shown, painted from an in-memory image of its client area that is handed to the
// display. Input from the display travels through the message loop to the form's window
// handle, which routes it to the control under the pointer or to the focused control.

#include <functional>
#include <string>

#include "forms/WinControl.h"
#include "platform/display/DisplayEvent.h"
#include "platform/draw/Surface.h"

constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

enum class TPosition { poDesigned, poScreenCenter };

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;

  HWND Handle() const { return FHandle; }
  TDisplayWindow DisplayWindow() const { return FWindow; }

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void SetClientWidth(int value) { SetWidth(value); }
  void SetClientHeight(int value) { SetHeight(value); }
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition value) { FPosition = value; }
  void SetText(const std::string& value) override;

  // Runs OnCreate once. CreateForm calls it; a form made with `new` gets it on its first
  // showing unless its maker calls it earlier.
  void AfterConstruction();

  void Show();
  void Hide();
  void SetVisible(bool value) override;
  // Shows the form and runs a nested loop until ModalResult becomes non-zero (or the
  // application terminates, which gives mrCancel); then hides the form and returns it.
  int ShowModal();
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int value) { FModalResult = value; }
  bool InModal() const { return FInModal; }
  // A modal form ends with mrCancel; the main form ends the application; others hide.
  void Close();
  bool Active() const;
  // Frees the form from the loop, after the handler that asks for it has returned: the
  // safe way for a form to go from inside one of its own events.
  void Release();

  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* control);
  // Moves the focus to the next (or previous) tab stop after current, wrapping around.
  void SelectNext(TWinControl* current, bool forward);
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool value) { FKeyPreview = value; }

  std::function<void(TObject* Sender)> OnCreate;
  std::function<void(TObject* Sender)> OnActivate;
  std::function<void(TObject* Sender)> OnShow;
  std::function<void(TObject* Sender)> OnHide;

  // The image of the client area (what was last painted).
  const TSurface& Surface() const { return FSurface; }
  // Marks part of the client area for painting; PaintPending paints what is marked now.
  void InvalidateClientRect(const TRect& rect);
  void PaintPending();

  void WndProc(TMessage& Message) override;

  // Called by controls that leave the form, so no pointer to them stays behind.
  void ControlRemoving(TControl* control);

 protected:
  void Paint() override;
  virtual void Activate();
  virtual void DoShow();
  virtual void DoHide();

 private:
  LRESULT WindowProcedure(UINT msg, WPARAM wParam, LPARAM lParam);
  // ShowModal's showing and nested loop, up to the form hidden again.
  int RunModal();
  void EnsureWindow();
  void Center();
  void ReceiveDisplayEvent(const TDisplayEvent& event);
  void HandleDisplayEvent(const TDisplayEvent& event);
  void HandleMouse(const TDisplayEvent& event);
  void DeliverMouse(TControl* target, UINT msg, int formX, int formY, WPARAM mods);
  void HandleKeyDown(const TDisplayEvent& event);
  void HandleChar(const TDisplayEvent& event);
  bool AcceptsInput() const;
  void CaptionDrag();
  void SelectFirst();

  HWND FHandle = 0;
  TDisplayWindow FWindow = 0;
  TSurface FSurface;
  TRect FDirty;
  bool FPaintPosted = false;
  TPosition FPosition = TPosition::poScreenCenter;
  bool FPlaced = false;
  bool FCreated = false;
  int FModalResult = mrNone;
  bool FInModal = false;
  TWinControl* FActiveControl = nullptr;
  bool FKeyPreview = false;
  TControl* FCapture = nullptr;
  WPARAM FButtons = 0;  // MK_* of the buttons held
  bool FDragged = false;
};

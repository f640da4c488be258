#include "forms/Button.h"

#include "forms/Form.h"
#include "forms/LifeGuard.h"

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::WndProc(TMessage& Message) {
  if (Message.Msg == CM_DIALOGKEY) {
    bool plain = (Message.LParam & (ssShift | ssCtrl | ssAlt)) == 0;
    bool mine =
        (Message.WParam == VK_RETURN && FDefault) || (Message.WParam == VK_ESCAPE && FCancel);
    if (plain && mine && Enabled() && VisibleInWindow()) {
      Click();
      Message.Result = 1;
    }
    return;
  }
  TWinControl::WndProc(Message);
}

void TButton::Click() {
  if (FModalResult != 0)
    if (TForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TWinControl::Click();
}

void TButton::KeyDown(WORD& Key, TShiftState Shift) {
  TLifeGuard guard(this);
  TWinControl::KeyDown(Key, Shift);
  // OnKeyDown may have freed the button: the key is then no longer its to act on.
  if (guard.Alive() && Key == VK_SPACE) Click();
}

void TButton::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(r);
  // A raised face: light at the top and left, dark at the bottom and right, and a black
  // outline when the button acts on Enter or has the focus.
  bool marked = FDefault || Focused();
  if (marked) {
    c->Brush()->SetColor(clBlack);
    c->FrameRect(r);
    r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  }
  c->Brush()->SetColor(clWhite);
  c->FillRect({r.Left, r.Top, r.Right - 1, r.Top + 1});
  c->FillRect({r.Left, r.Top, r.Left + 1, r.Bottom - 1});
  c->Brush()->SetColor(clGray);
  c->FillRect({r.Left + 1, r.Bottom - 2, r.Right - 1, r.Bottom - 1});
  c->FillRect({r.Right - 2, r.Top + 1, r.Right - 1, r.Bottom - 1});
  c->Brush()->SetColor(clBlack);
  c->FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom});
  c->FillRect({r.Right - 1, r.Top, r.Right, r.Bottom});
  c->SetFont(Font());
  if (!Enabled()) c->Font()->SetColor(clGrayText);
  c->Brush()->SetStyle(TBrushStyle::bsClear);
  TRect text = ClientRect();
  c->DrawText(Caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

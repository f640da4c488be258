// The application's message box: a plain window titled with the given caption (the
// application's title by default), the text, and one OK button that Enter and Esc click.

#include <algorithm>
#include <memory>

#include "forms/Application.h"
#include "forms/Button.h"
#include "forms/Form.h"
#include "forms/Label.h"

namespace {
constexpr int kPad = 16;
constexpr int kTitleHeight = 20;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

// The window has no system frame, so it draws a frame and a title strip of its own; a
// press on the strip drags the window.
class TMessageForm : public TForm {
 public:
  explicit TMessageForm(TComponent* AOwner) : TForm(AOwner) {}

 protected:
  void Paint() override {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(ClientRect());
    c->Brush()->SetColor(clNavy);
    c->FillRect({0, 0, Width(), kTitleHeight});
    c->Brush()->SetColor(clBlack);
    c->FrameRect(ClientRect());
    c->SetFont(Font());
    c->Font()->SetColor(clWhite);
    c->Font()->SetStyle(fsBold);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    TRect title{6, 0, Width() - 6, kTitleHeight};
    c->DrawText(Caption(), title, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    TForm::MouseDown(Button, Shift, X, Y);
    if (Button == TMouseButton::mbLeft && Y < kTitleHeight) Perform(WM_NCLBUTTONDOWN, HTCAPTION, 0);
  }
};
}  // namespace

int TApplication::MessageBox(const std::string& text, const std::string& caption) {
  auto box = std::make_unique<TMessageForm>(nullptr);
  box->SetName("MessageBox");
  box->SetCaption(caption.empty() ? FTitle : caption);
  box->SetColor(clBtnFace);
  box->Font()->SetName("Verdana");
  box->Font()->SetHeight(-12);
  box->Font()->SetColor(clBlack);

  auto* label = new TLabel(box.get());
  label->SetName("Text");
  label->SetShowAccelChar(false);
  label->SetParent(box.get());
  label->SetCaption(text);
  TCanvas measure;
  measure.SetFont(box->Font());
  TRect extent{0, 0, 0, 0};
  measure.DrawText(text.empty() ? " " : text, extent, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
  int textWidth = std::min(extent.Width(), 600);
  TRect wrapped{0, 0, textWidth, 0};
  measure.DrawText(text.empty() ? " " : text, wrapped,
                   DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK);
  label->SetWordWrap(true);
  label->SetBounds(kPad, kTitleHeight + kPad, textWidth, wrapped.Height());

  int width = std::max(textWidth + 2 * kPad, kButtonWidth + 2 * kPad + 100);
  int height = kTitleHeight + kPad + wrapped.Height() + kPad + kButtonHeight + kPad / 2 + 4;
  box->SetBounds(0, 0, width, height);

  auto* ok = new TButton(box.get());
  ok->SetName("OK");
  ok->SetCaption("OK");
  ok->SetParent(box.get());
  ok->SetBounds((width - kButtonWidth) / 2, height - kButtonHeight - kPad / 2 - 4, kButtonWidth,
                kButtonHeight);
  ok->SetDefault(true);
  ok->SetCancel(true);
  ok->SetModalResult(IDOK);
  box->ShowModal();
  return IDOK;
}

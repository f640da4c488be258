// The application's message box: a plain window titled with the given caption (the
// application's title by default), the text, and one OK button that Enter and Esc click.

#include <algorithm>
#include <memory>
#include <string>

#include "forms/Application.h"
#include "forms/Button.h"
#include "forms/Form.h"
#include "forms/Label.h"

namespace {
constexpr int kPad = 16;
constexpr int kTitleHeight = 20;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kMaxTextWidth = 600;

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

// Word wrapping breaks only between words, so a word wider than the box (a long path in a
// file error) would be cut off at the edge; such words are broken wherever they must be, so
// the whole text can be read.
std::string BreakLongWords(const std::string& text, TCanvas& measure, int maxWidth) {
  // Widths by character, summed: linear in the text, so even a huge word cannot stall. The
  // sum can miss a pixel or two of the drawn width, hence the small allowance.
  int widths[256] = {};
  for (int c = 0; c < 256; ++c) widths[c] = measure.TextWidth(std::string(1, static_cast<char>(c)));
  const int limit = maxWidth - 8;
  std::string out;
  int wordWidth = 0;
  for (char ch : text) {
    if (ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n') {
      wordWidth = 0;
    } else {
      int w = widths[static_cast<unsigned char>(ch)];
      if (wordWidth > 0 && wordWidth + w > limit) {
        out += "\r\n";
        wordWidth = 0;
      }
      wordWidth += w;
    }
    out += ch;
  }
  return out;
}
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
  TCanvas measure;
  measure.SetFont(box->Font());
  const std::string shown = text.empty() ? " " : BreakLongWords(text, measure, kMaxTextWidth);
  label->SetCaption(text.empty() ? text : shown);
  TRect extent{0, 0, 0, 0};
  measure.DrawText(shown, extent, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
  int textWidth = std::min(extent.Width(), kMaxTextWidth);
  TRect wrapped{0, 0, textWidth, 0};
  measure.DrawText(shown, wrapped, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK);
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

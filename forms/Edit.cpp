#include "forms/Edit.h"

#include <algorithm>
#include <cstdlib>

#include "forms/Clipboard.h"
#include "forms/LifeGuard.h"
#include "platform/display/DisplayEvent.h"

namespace {
constexpr int kBorder = 2;        // the sunken edge
constexpr int kMargin = 2;        // between the edge and the text
constexpr unsigned kBlink = 530;  // the classic caret blink time, in milliseconds
}  // namespace

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 121, 21);
  SetColor(clWindow);
  SetTabStop(true);
  // Owned by the field itself, not by a component owner, so it goes with the field before
  // anything else of it does.
  FBlink = std::make_unique<TTimer>(nullptr);
  FBlink->SetEnabled(false);
  FBlink->SetInterval(kBlink);
  FBlink->OnTimer = [this](TObject*) { BlinkTick(); };
}

void TEdit::SetText(const std::string& value) {
  if (value == Text()) return;
  TWinControl::SetText(value);
  FAnchor = FCaret = 0;
  FScroll = 0;
  CaretMoved();
  Change();
}

void TEdit::SetPasswordChar(char value) {
  if (value == FPasswordChar) return;
  FPasswordChar = value;
  Invalidate();
}

int TEdit::SelStart() const {
  return std::min(FAnchor, FCaret);
}
int TEdit::SelLength() const {
  return std::abs(FCaret - FAnchor);
}

void TEdit::SetSelStart(int value) {
  int len = static_cast<int>(Text().size());
  FAnchor = FCaret = std::clamp(value, 0, len);
  CaretMoved();
}

void TEdit::SetSelLength(int value) {
  int len = static_cast<int>(Text().size());
  FAnchor = SelStart();
  FCaret = std::clamp(FAnchor + value, 0, len);
  CaretMoved();
}

std::string TEdit::SelText() const {
  return Text().substr(SelStart(), SelLength());
}

void TEdit::SetSelText(const std::string& value) {
  ReplaceSelection(value);
}

void TEdit::SelectAll() {
  FAnchor = 0;
  FCaret = static_cast<int>(Text().size());
  CaretMoved();
}

void TEdit::CopyToClipboard() {
  // A password never leaves its field.
  if (FPasswordChar != 0 || SelLength() == 0) return;
  Clipboard()->SetAsText(SelText());
}

void TEdit::CutToClipboard() {
  if (FPasswordChar != 0 || FReadOnly || SelLength() == 0) return;
  Clipboard()->SetAsText(SelText());
  ReplaceSelection("");
}

void TEdit::PasteFromClipboard() {
  if (FReadOnly) return;
  std::string text = Clipboard()->AsText();
  // One line only: a pasted text ends at its first line break.
  text = text.substr(0, text.find_first_of("\r\n"));
  // Nothing to insert (an empty clipboard, or one whose text starts with a line break)
  // leaves the field as it is: the paste must not quietly delete the selection.
  if (text.empty()) return;
  ReplaceSelection(text);
}

void TEdit::ReplaceSelection(const std::string& text) {
  std::string insert = text;
  int start = SelStart();
  std::string value = Text();
  value.erase(start, SelLength());
  if (FMaxLength > 0) {
    int room = std::max(0, FMaxLength - static_cast<int>(value.size()));
    if (static_cast<int>(insert.size()) > room) insert.resize(room);
  }
  value.insert(start, insert);
  bool changed = value != Text();
  TWinControl::SetText(value);
  FAnchor = FCaret = start + static_cast<int>(insert.size());
  CaretMoved();
  if (changed) Change();
}

void TEdit::MoveCaret(int pos, bool extend) {
  FCaret = std::clamp(pos, 0, static_cast<int>(Text().size()));
  if (!extend) FAnchor = FCaret;
  CaretMoved();
}

void TEdit::DoEnter() {
  SelectAll();
  StartBlink();
  // The event comes last: its handler may free the field, or the whole window.
  TWinControl::DoEnter();
}

void TEdit::DoExit() {
  StopBlink();
  TWinControl::DoExit();
}

void TEdit::CaretMoved() {
  if (FBlink->Enabled()) StartBlink();
  Invalidate();
}

// Neither of these repaints: their callers already do, or nothing shows the caret.
void TEdit::StartBlink() {
  FCaretOn = true;
  // Disabling first restarts the countdown, so the caret stays a full phase after a move.
  FBlink->SetEnabled(false);
  FBlink->SetEnabled(true);
}

void TEdit::StopBlink() {
  FBlink->SetEnabled(false);
  FCaretOn = true;
}

void TEdit::BlinkTick() {
  // Focus can also leave without an exit notification (the field taken off its window or
  // disabled), and a hidden window shows no caret; either way the timer stops rather than
  // tick for nothing. Painting the focused field on a shown window starts it again.
  if (!Focused() || !CanFocus() || !Showing()) {
    StopBlink();
    return;
  }
  FCaretOn = !FCaretOn;
  Invalidate();
}

void TEdit::Change() {
  if (OnChange) OnChange(this);
}

bool TEdit::WantsKey(WORD Key, TShiftState) const {
  return Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN;
}

void TEdit::KeyDown(WORD& Key, TShiftState Shift) {
  // OnKeyDown may free the field (one that submits and closes its window): the key is then
  // no longer its to apply.
  TLifeGuard guard(this);
  TWinControl::KeyDown(Key, Shift);
  if (!guard.Alive()) return;
  bool shift = Shift & ssShift, ctrl = Shift & ssCtrl;
  int len = static_cast<int>(Text().size());
  switch (Key) {
    case VK_LEFT:
      MoveCaret(!shift && SelLength() ? SelStart() : FCaret - 1, shift);
      break;
    case VK_RIGHT:
      MoveCaret(!shift && SelLength() ? SelStart() + SelLength() : FCaret + 1, shift);
      break;
    case VK_HOME:
      MoveCaret(0, shift);
      break;
    case VK_END:
      MoveCaret(len, shift);
      break;
    case VK_DELETE:
      if (shift) {
        CutToClipboard();
      } else if (!FReadOnly) {
        if (SelLength() == 0) FCaret = std::min(FCaret + 1, len);
        ReplaceSelection("");
      }
      break;
    case VK_BACK:
      if (FReadOnly) break;
      if (SelLength() == 0) FCaret = std::max(FCaret - 1, 0);
      ReplaceSelection("");
      break;
    case VK_INSERT:
      if (ctrl) CopyToClipboard();
      if (shift) PasteFromClipboard();
      break;
    default:
      if (ctrl && Key == 'A') SelectAll();
      if (ctrl && Key == 'C') CopyToClipboard();
      if (ctrl && Key == 'X') CutToClipboard();
      if (ctrl && Key == 'V') PasteFromClipboard();
      break;
  }
}

void TEdit::KeyPress(char& Key) {
  TLifeGuard guard(this);
  TWinControl::KeyPress(Key);
  if (!guard.Alive()) return;
  auto c = static_cast<unsigned char>(Key);
  // Control characters (Backspace, Tab, Enter, Esc, Ctrl+letters) are keys, not text.
  if (c < 32 || c == 127 || FReadOnly) return;
  ReplaceSelection(std::string(1, Key));
}

void TEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWinControl::MouseDown(Button, Shift, X, Y);
  if (Button != TMouseButton::mbLeft) return;
  FSelecting = true;
  MoveCaret(PosFromX(X), (Shift & ssShift) != 0);
}

void TEdit::MouseMove(TShiftState Shift, int X, int Y) {
  TWinControl::MouseMove(Shift, X, Y);
  if (!(Shift & ssLeft)) FSelecting = false;
  if (FSelecting) MoveCaret(PosFromX(X), true);
}

std::string TEdit::DisplayText() const {
  return FPasswordChar ? std::string(Text().size(), FPasswordChar) : Text();
}

int TEdit::PosFromX(int x) {
  TCanvas measure;
  measure.SetFont(Font());
  std::string shown = DisplayText();
  int textX = x - kBorder - kMargin + FScroll;
  int best = 0, bestDistance = std::abs(textX);
  for (int i = 1; i <= static_cast<int>(shown.size()); ++i) {
    int d = std::abs(measure.TextWidth(shown.substr(0, i)) - textX);
    if (d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

void TEdit::ScrollToCaret(TCanvas* canvas, int textWidth) {
  int room = std::max(1, Width() - 2 * (kBorder + kMargin));
  int caretX = canvas->TextWidth(DisplayText().substr(0, FCaret));
  if (textWidth <= room) FScroll = 0;
  if (caretX - FScroll > room) FScroll = caretX - room;
  if (caretX < FScroll) FScroll = caretX;
}

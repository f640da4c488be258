#include "forms/Label.h"

TLabel::TLabel(TComponent* AOwner) : TLabel(AOwner, false) {}

TLabel::TLabel(TComponent* AOwner, bool autoSize) : TGraphicControl(AOwner), FAutoSize(autoSize) {
  SetControlStyle(ControlStyle() | csOpaque);
  SetBounds(0, 0, 65, 17);
  SetParentColor(true);
}

void TLabel::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  Invalidate();
}

void TLabel::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  AdjustBounds();
}

void TLabel::SetShowAccelChar(bool value) {
  if (value == FShowAccelChar) return;
  FShowAccelChar = value;
  Invalidate();
  AdjustBounds();
}

void TLabel::SetTransparent(bool value) {
  if (value == Transparent()) return;
  SetControlStyle(value ? ControlStyle() & ~csOpaque : ControlStyle() | csOpaque);
  Invalidate();
}

void TLabel::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  Invalidate();
  AdjustBounds();
}

std::string TLabel::ShownText() const {
  return FShowAccelChar ? WithoutPrefixes(Caption()) : Caption();
}

unsigned TLabel::TextFlags() const {
  unsigned flags = DT_EXPANDTABS;
  flags |= FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
  if (FWordWrap) flags |= DT_WORDBREAK;
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  return flags;
}

void TLabel::WndProc(TMessage& Message) {
  TGraphicControl::WndProc(Message);
  if (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_FONTCHANGED) AdjustBounds();
}

void TLabel::Paint() {
  TCanvas* c = Canvas();
  if (!Transparent()) {
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
  }
  c->Brush()->SetStyle(TBrushStyle::bsClear);
  c->SetFont(Font());
  if (!Enabled()) c->Font()->SetColor(clGrayText);
  TRect r = ClientRect();
  c->DrawText(Caption(), r, TextFlags());
}

void TLabel::AdjustBounds() {
  if (!FAutoSize || Loading()) return;
  TCanvas measure;
  measure.SetFont(Font());
  std::string text = Caption();
  // An empty text (or a lone prefix character) would measure as nothing at all.
  if (text.empty() || (FShowAccelChar && text == "&")) text += ' ';
  TRect r = ClientRect();
  measure.DrawText(text, r, TextFlags() | DT_CALCRECT);
  int left = Left();
  if (FAlignment == taRightJustify) left += Width() - r.Width();
  SetBounds(left, Top(), r.Width(), r.Height());
}

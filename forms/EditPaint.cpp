// Painting of the edit field, apart from its editing logic.

#include "forms/Edit.h"

namespace {
constexpr int kBorder = 2;
constexpr int kMargin = 2;

void SunkenEdge(TCanvas* c, const TRect& r) {
  auto line = [c](TColor color, const TRect& area) {
    c->Brush()->SetColor(color);
    c->FillRect(area);
  };
  line(clGray, {r.Left, r.Top, r.Right - 1, r.Top + 1});
  line(clGray, {r.Left, r.Top, r.Left + 1, r.Bottom - 1});
  line(clWhite, {r.Left, r.Bottom - 1, r.Right, r.Bottom});
  line(clWhite, {r.Right - 1, r.Top, r.Right, r.Bottom});
  line(clBlack, {r.Left + 1, r.Top + 1, r.Right - 2, r.Top + 2});
  line(clBlack, {r.Left + 1, r.Top + 1, r.Left + 2, r.Bottom - 2});
  line(clSilver, {r.Left + 1, r.Bottom - 2, r.Right - 1, r.Bottom - 1});
  line(clSilver, {r.Right - 2, r.Top + 1, r.Right - 1, r.Bottom - 1});
}
}  // namespace

void TEdit::Paint() {
  TCanvas* c = Canvas();
  TRect all = ClientRect();
  SunkenEdge(c, all);
  TRect inner{kBorder, kBorder, Width() - kBorder, Height() - kBorder};
  c->Brush()->SetColor(Enabled() ? Color() : clBtnFace);
  c->FillRect(inner);
  c->Handle()->IntersectClipRect(inner);

  c->SetFont(Font());
  if (!Enabled()) c->Font()->SetColor(clGrayText);
  std::string shown = DisplayText();
  int textWidth = c->TextWidth(shown);
  ScrollToCaret(c, textWidth);
  int lineHeight = c->TextHeight(shown);
  int x0 = kBorder + kMargin - FScroll;
  int y = (Height() - lineHeight) / 2;
  c->Brush()->SetStyle(TBrushStyle::bsClear);
  c->TextOut(x0, y, shown);

  // A field that was disabled or hidden while it had the focus takes no keys, so it shows
  // neither a caret nor a selection.
  bool focused = Focused() && CanFocus();
  if (focused && SelLength() > 0) {
    int from = x0 + c->TextWidth(shown.substr(0, SelStart()));
    std::string selected = shown.substr(SelStart(), SelLength());
    c->Brush()->SetColor(clHighlight);
    c->FillRect({from, y, from + c->TextWidth(selected), y + lineHeight});
    c->Font()->SetColor(clHighlightText);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->TextOut(from, y, selected);
  }
  if (focused && !FBlink->Enabled()) StartBlink();
  if (focused && FCaretOn) {
    int caretX = x0 + c->TextWidth(shown.substr(0, CaretPos()));
    c->Pen()->SetColor(Font()->Color());
    c->MoveTo(caretX, y);
    c->LineTo(caretX, y + lineHeight);
  }
}

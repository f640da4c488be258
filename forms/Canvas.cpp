#include "forms/Canvas.h"

#include "forms/Graphic.h"

TCanvas::TCanvas() {
  FontChanged();
  FFont.OnChange = [this](TObject*) { FontChanged(); };
}

TCanvas::TCanvas(TSurface* surface) : TCanvas() {
  Attach(surface);
}

void TCanvas::Attach(TSurface* surface, TPoint origin, const TRect& clip) {
  FDC.SetSurface(surface ? surface : &FNoSurface);
  FDC.SetOrigin(origin);
  FDC.SetClipRect(clip);
}

void TCanvas::Attach(TSurface* surface) {
  FDC.SetSurface(surface ? surface : &FNoSurface);
}

TRect TCanvas::ClipRect() const {
  TPoint o = FDC.Origin();
  return FDC.ClipRect().Offset(-o.X, -o.Y);
}

void TCanvas::FontChanged() {
  FDC.SetFont(FFont.Request());
  FDC.SetTextColor(FFont.Color());
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

void TCanvas::LineTo(int x, int y) {
  FDC.LineTo(x, y);
  Changed();
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  FDC.Arc(x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::FillRect(const TRect& rect) {
  FDC.FillRect(rect);
  Changed();
}

void TCanvas::FrameRect(const TRect& rect) {
  FDC.FrameRect(rect);
  Changed();
}

void TCanvas::Rectangle(const TRect& rect) {
  if (rect.IsEmpty()) return;
  FDC.FillRect({rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1});
  TColor brush = FDC.BrushColor();
  TBrushStyle style = FDC.BrushStyle();
  FDC.SetBrushColor(FDC.PenColor());
  FDC.FrameRect(rect);
  FDC.SetBrushColor(brush);
  FDC.SetBrushStyle(style);
  Changed();
}

bool TCanvas::FloodFill(int x, int y, TColor color, TFillStyle style) {
  bool filled = FDC.ExtFloodFill(
      x, y, color, style == TFillStyle::fsBorder ? FLOODFILLBORDER : FLOODFILLSURFACE);
  Changed();
  return filled;
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  FDC.SetPixel(x, y, color);
  Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  FDC.TextOut(x, y, text);
  Changed();
}

int TCanvas::DrawText(const std::string& text, TRect& rect, unsigned flags) {
  int h = FDC.DrawText(text, rect, flags);
  if (!(flags & DT_CALCRECT)) Changed();
  return h;
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  graphic->Draw(this, Bounds(x, y, graphic->Width(), graphic->Height()));
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  graphic->Draw(this, rect);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect) {
  const TSurface* src = source->FDC.Surface();
  TPoint o = source->FDC.Origin();
  FDC.StretchBlt(dest, *src, sourceRect.Offset(o.X, o.Y));
  Changed();
}

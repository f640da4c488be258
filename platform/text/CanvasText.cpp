#include "platform/draw/DrawContext.h"
#include "platform/text/FontFace.h"
#include "platform/text/TextPainter.h"

void TDrawContext::TextOut(int x, int y, const std::string& text) {
  std::shared_ptr<TFontFace> face = TFontFace::ForRequest(FFont);
  TTextRun run = LayoutRun(*face, text, 0);
  TRect cell = Bounds(x + FOrigin.X, y + FOrigin.Y, run.Width, face->Metrics().tmHeight);
  if (!FSurface) return;
  if (FBrushStyle == TBrushStyle::bsSolid) FSurface->FillRect(cell.Intersect(FClip), FBrushColor);
  PaintRun(*FSurface, FClip, *face, run, cell.Left, cell.Top, FTextColor, FFont.Underline,
           FFont.StrikeOut);
}

TSize TDrawContext::TextExtent(const std::string& text) const {
  std::shared_ptr<TFontFace> face = TFontFace::ForRequest(FFont);
  return {face->TextWidth(text), face->Metrics().tmHeight};
}

TTextMetric TDrawContext::TextMetrics() const {
  return TFontFace::ForRequest(FFont)->Metrics();
}

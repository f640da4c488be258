#include "platform/text/TextPainter.h"

namespace {

std::uint32_t Blend(std::uint32_t dst, std::uint32_t src, unsigned alpha) {
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    unsigned d = (dst >> shift) & 0xFF, s = (src >> shift) & 0xFF;
    out |= ((s * alpha + d * (255 - alpha) + 127) / 255) << shift;
  }
  return out;
}

void PaintGlyph(TSurface& surface, const TRect& clip, const TFontFace::Glyph& g, int penX,
                int baseline, std::uint32_t pixel) {
  for (int row = 0; row < g.rows; ++row) {
    int y = baseline - g.top + row;
    if (y < clip.Top || y >= clip.Bottom) continue;
    std::uint32_t* dst = surface.Row(y);
    const std::uint8_t* cov = g.coverage.data() + static_cast<std::size_t>(row) * g.width;
    for (int col = 0; col < g.width; ++col) {
      int x = penX + g.left + col;
      if (x < clip.Left || x >= clip.Right || cov[col] == 0) continue;
      dst[x] = cov[col] == 255 ? pixel : Blend(dst[x], pixel, cov[col]);
    }
  }
}

void HLine(TSurface& surface, const TRect& clip, int x0, int x1, int y, int thickness,
           std::uint32_t pixel) {
  surface.FillRect(TRect{x0, y, x1, y + thickness}.Intersect(clip), TSurface::FromPixel(pixel));
}

}  // namespace

int AdvancePen(TFontFace& face, int pen, unsigned char c, int tabWidth) {
  if (c == '\t' && tabWidth > 0) return (pen / tabWidth + 1) * tabWidth;
  return pen + face.Advance(c);
}

TTextRun LayoutRun(TFontFace& face, const std::string& text, int tabWidth) {
  TTextRun run;
  run.Text = text;
  run.X.reserve(text.size());
  int pen = 0;
  for (unsigned char c : text) {
    run.X.push_back(pen);
    pen = AdvancePen(face, pen, c, tabWidth);
  }
  run.Width = pen;
  return run;
}

void PaintRun(TSurface& surface, const TRect& clip, TFontFace& face, const TTextRun& run, int x,
              int y, TColor color, bool underlineAll, bool strikeOut) {
  const std::uint32_t pixel = TSurface::ToPixel(color);
  const TTextMetric& m = face.Metrics();
  const int baseline = y + m.tmAscent;
  const int ulY = baseline + face.UnderlineOffset();
  for (std::size_t i = 0; i < run.Text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(run.Text[i]);
    PaintGlyph(surface, clip, face.GlyphOf(c), x + run.X[i], baseline, pixel);
    if (i < run.Underlined.size() && run.Underlined[i]) {
      int end = i + 1 < run.X.size() ? run.X[i + 1] : run.Width;
      HLine(surface, clip, x + run.X[i], x + end, ulY, face.UnderlineThickness(), pixel);
    }
  }
  if (underlineAll) HLine(surface, clip, x, x + run.Width, ulY, face.UnderlineThickness(), pixel);
  if (strikeOut)
    HLine(surface, clip, x, x + run.Width, baseline - m.tmAscent / 3, face.UnderlineThickness(),
          pixel);
}

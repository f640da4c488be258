#include <algorithm>
#include <vector>

#include "platform/draw/DrawContext.h"
#include "platform/text/FontFace.h"
#include "platform/text/TextPainter.h"

namespace {

struct TLine {
  std::string text;
  std::vector<bool> underlined;
};

// "&x" shows x underlined, "&&" shows one '&', and a '&' at the very end shows nothing.
TLine StripPrefixes(const std::string& raw, bool prefixes) {
  TLine line;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    bool underline = false;
    if (prefixes && raw[i] == '&') {
      if (++i == raw.size()) break;
      underline = raw[i] != '&';
    }
    line.text.push_back(raw[i]);
    line.underlined.push_back(underline);
  }
  return line;
}

std::vector<std::string> SplitLines(const std::string& text, bool singleLine) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') {
      lines.back().push_back(c);
      continue;
    }
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    // A break that ends the text starts no line of its own: Windows measures "Error\r\n"
    // as one line, so a message ending in a line break gets no blank line below it.
    if (!singleLine && i + 1 < text.size()) lines.emplace_back();
  }
  return lines;
}

// Greedy word wrap: breaks after the last space that keeps the line within maxWidth; a word
// longer than the line stays whole on a line of its own, as Windows does. The width grows
// with each character instead of being measured afresh, so a long text (a mail subject of
// one unbroken word) costs its length, not its square.
std::vector<TLine> WrapLine(TFontFace& face, const TLine& line, int maxWidth, int tabWidth) {
  std::vector<TLine> out;
  std::size_t start = 0;
  while (start < line.text.size()) {
    std::size_t end = line.text.size(), lastBreak = std::string::npos;
    int pen = 0;
    for (std::size_t i = start; i < line.text.size(); ++i) {
      if (line.text[i] == ' ') lastBreak = i;
      pen = AdvancePen(face, pen, static_cast<unsigned char>(line.text[i]), tabWidth);
      if (pen > maxWidth && lastBreak != std::string::npos) {
        end = lastBreak;
        break;
      }
    }
    TLine piece;
    piece.text = line.text.substr(start, end - start);
    piece.underlined.assign(line.underlined.begin() + start, line.underlined.begin() + end);
    out.push_back(std::move(piece));
    start = end;
    while (start < line.text.size() && line.text[start] == ' ') ++start;
  }
  if (out.empty()) out.push_back({});
  return out;
}

// Every line the text shows, after prefix processing and word wrapping, laid out from x 0.
std::vector<TTextRun> LayoutLines(TFontFace& face, const std::string& text, unsigned flags,
                                  int width, int tabWidth) {
  const bool singleLine = flags & DT_SINGLELINE;
  std::vector<TTextRun> runs;
  for (const std::string& raw : SplitLines(text, singleLine)) {
    TLine line = StripPrefixes(raw, !(flags & DT_NOPREFIX));
    std::vector<TLine> pieces{line};
    if ((flags & DT_WORDBREAK) && !singleLine) pieces = WrapLine(face, line, width, tabWidth);
    for (TLine& piece : pieces) {
      TTextRun run = LayoutRun(face, piece.text, tabWidth);
      run.Underlined = std::move(piece.underlined);
      runs.push_back(std::move(run));
    }
  }
  return runs;
}

}  // namespace

std::string WithoutPrefixes(const std::string& text) {
  return StripPrefixes(text, true).text;
}

int TDrawContext::DrawText(const std::string& text, TRect& rect, unsigned flags) {
  if (text.empty()) {
    if (flags & DT_CALCRECT) rect = {rect.Left, rect.Top, rect.Left, rect.Top};
    return 0;
  }
  std::shared_ptr<TFontFace> face = TFontFace::ForRequest(FFont);
  const TTextMetric& m = face->Metrics();
  const bool singleLine = flags & DT_SINGLELINE;
  const int tabWidth = (flags & DT_EXPANDTABS) ? 8 * m.tmAveCharWidth : 0;
  std::vector<TTextRun> runs = LayoutLines(*face, text, flags, rect.Width(), tabWidth);
  const int textHeight = static_cast<int>(runs.size()) * m.tmHeight;
  if (flags & DT_CALCRECT) {
    int width = 0;
    for (const TTextRun& run : runs) width = std::max(width, run.Width);
    rect.Right = rect.Left + width;
    rect.Bottom = rect.Top + textHeight;
    return textHeight;
  }
  if (!FSurface) return textHeight;
  int y = rect.Top;
  if (singleLine && (flags & DT_VCENTER)) y = rect.Top + (rect.Height() - m.tmHeight) / 2;
  if (singleLine && (flags & DT_BOTTOM)) y = rect.Bottom - m.tmHeight;
  TRect clip = FClip;
  if (!(flags & DT_NOCLIP)) clip = clip.Intersect(rect.Offset(FOrigin.X, FOrigin.Y));
  for (const TTextRun& run : runs) {
    int x = rect.Left;
    if (flags & DT_CENTER)
      x = rect.Left + (rect.Width() - run.Width) / 2;
    else if (flags & DT_RIGHT)
      x = rect.Right - run.Width;
    TRect cell = Bounds(x + FOrigin.X, y + FOrigin.Y, run.Width, m.tmHeight);
    if (FBrushStyle == TBrushStyle::bsSolid) FSurface->FillRect(cell.Intersect(clip), FBrushColor);
    PaintRun(*FSurface, clip, *face, run, cell.Left, cell.Top, FTextColor, FFont.Underline,
             FFont.StrikeOut);
    y += m.tmHeight;
  }
  return textHeight;
}

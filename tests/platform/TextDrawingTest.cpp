// Text placement by TextOut and DrawText. Glyph shapes differ between machines, so these
// tests look only at extents, at the cell an opaque brush fills (exactly the text's
// extent) and at underline rows, never at the inside of a glyph.

#include <gtest/gtest.h>

#include <set>

#include "platform/MessageLoop.h"
#include "platform/draw/DrawContext.h"
#include "platform/text/FontFace.h"
#include "platform/text/Fonts.h"

namespace {

constexpr TColor kBack = 0xC0C0C0;
constexpr TColor kCell = 0x000040;

struct TextBench {
  TSurface surface{200, 40, kBack};
  TDrawContext dc{&surface};
  TextBench() {
    dc.SetFont(TFontRequest{"Verdana", 12});
    dc.SetTextColor(clBlack);
  }
  // The box of every pixel that is no longer the background.
  TRect Ink() const {
    TRect r{1000, 1000, -1, -1};
    for (int y = 0; y < surface.Height(); ++y)
      for (int x = 0; x < surface.Width(); ++x)
        if (surface.Pixel(x, y) != kBack) {
          r.Left = std::min(r.Left, x), r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1), r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r;
  }
  // Draws with a brush and text colour that are the same, so the painted area is exactly
  // the text's cell, whatever the glyphs look like.
  TRect Cell(const std::string& text, TRect rect, unsigned flags) {
    surface.Fill(kBack);
    dc.SetBrushStyle(TBrushStyle::bsSolid);
    dc.SetBrushColor(kCell);
    dc.SetTextColor(kCell);
    dc.DrawText(text, rect, flags);
    return Ink();
  }
  // The rectangle DT_CALCRECT makes of r; the height DrawText returns must be its height.
  TRect Measure(const std::string& text, unsigned flags, TRect r = {0, 0, 200, 40}) {
    const int height = dc.DrawText(text, r, DT_CALCRECT | flags);
    EXPECT_EQ(height, r.Height()) << text;
    return r;
  }
};

}  // namespace

TEST(TextExtent, GrowsWithTheTextAndHasTheLineHeight) {
  TextBench b;
  TSize a = b.dc.TextExtent("A"), ab = b.dc.TextExtent("AB"), abc = b.dc.TextExtent("ABC");
  EXPECT_GT(a.cx, 0);
  EXPECT_GT(ab.cx, a.cx);
  EXPECT_GT(abc.cx, ab.cx);
  TTextMetric m = b.dc.TextMetrics();
  EXPECT_GE(m.tmHeight, 12);
  EXPECT_EQ(m.tmHeight, m.tmAscent + m.tmDescent);
  EXPECT_EQ(a.cy, m.tmHeight);
  EXPECT_EQ(b.dc.TextExtent("").cx, 0);
  EXPECT_EQ(b.dc.TextExtent("").cy, m.tmHeight);
  // Without kerning, extents add up.
  EXPECT_EQ(b.dc.TextExtent("AV").cx, b.dc.TextExtent("A").cx + b.dc.TextExtent("V").cx);
  // Underlining does not change the size; a bigger font does.
  b.dc.SetFont(TFontRequest{"Verdana", 12, false, false, true});
  EXPECT_EQ(b.dc.TextExtent("ABC").cx, abc.cx);
  b.dc.SetFont(TFontRequest{"Verdana", 24});
  EXPECT_GT(b.dc.TextExtent("ABC").cx, abc.cx);
}

TEST(TextExtent, MissingFamilyStillGetsARealFace) {
  std::shared_ptr<TFontFace> face = TFontFace::ForRequest(TFontRequest{"No Such Family Xyz", 12});
  EXPECT_FALSE(face->File().empty());
  EXPECT_GT(face->Advance('m'), 0);
  EXPECT_EQ(TFontFace::ForRequest(TFontRequest{"No Such Family Xyz", 12}), face);  // cached
}

TEST(TextOut, OpaqueFillsExactlyTheCellAndClearLeavesTheBackground) {
  TextBench b;
  TSize ext = b.dc.TextExtent("Checking");
  b.dc.SetBrushColor(kCell);
  b.dc.SetTextColor(kCell);
  b.dc.TextOut(10, 5, "Checking");
  EXPECT_EQ(b.Ink(), (TRect{10, 5, 10 + ext.cx, 5 + ext.cy}));
  // A clear brush: only glyph pixels change, all within the cell.
  b.surface.Fill(kBack);
  b.dc.SetBrushStyle(TBrushStyle::bsClear);
  b.dc.SetTextColor(clBlack);
  b.dc.TextOut(10, 5, "Checking");
  TRect ink = b.Ink();
  EXPECT_GE(ink.Left, 10);
  EXPECT_LE(ink.Right, 10 + ext.cx + 1);
  EXPECT_GE(ink.Top, 5);
  EXPECT_LE(ink.Bottom, 5 + ext.cy);
  EXPECT_EQ(b.surface.Pixel(10, 5), kBack);  // top-left of 'C' lies in the leading
  // The origin moves text like everything else.
  b.surface.Fill(kBack);
  b.dc.SetBrushStyle(TBrushStyle::bsSolid);
  b.dc.SetTextColor(kCell);
  b.dc.SetOrigin({20, 3});
  b.dc.TextOut(0, 0, "Checking");
  EXPECT_EQ(b.Ink(), (TRect{20, 3, 20 + ext.cx, 3 + ext.cy}));
}

TEST(DrawText, LeftCentreAndRightPlaceTheLineInTheRectangle) {
  TextBench b;
  const std::string text = "Save";
  TSize ext = b.dc.TextExtent(text);
  const TRect box{10, 4, 190, 36};
  EXPECT_EQ(b.Cell(text, box, DT_LEFT | DT_SINGLELINE), (TRect{10, 4, 10 + ext.cx, 4 + ext.cy}));
  const int centreLeft = 10 + (180 - ext.cx) / 2;
  EXPECT_EQ(b.Cell(text, box, DT_CENTER | DT_SINGLELINE),
            (TRect{centreLeft, 4, centreLeft + ext.cx, 4 + ext.cy}));
  EXPECT_EQ(b.Cell(text, box, DT_RIGHT | DT_SINGLELINE), (TRect{190 - ext.cx, 4, 190, 4 + ext.cy}));
  const int middleTop = 4 + (32 - ext.cy) / 2;
  EXPECT_EQ(b.Cell(text, box, DT_CENTER | DT_VCENTER | DT_SINGLELINE),
            (TRect{centreLeft, middleTop, centreLeft + ext.cx, middleTop + ext.cy}));
  // Text wider than the rectangle is cut at its edges unless DT_NOCLIP.
  const TRect narrow{50, 4, 60, 36};
  EXPECT_EQ(b.Cell(text, narrow, DT_LEFT | DT_SINGLELINE), (TRect{50, 4, 60, 4 + ext.cy}));
  EXPECT_EQ(b.Cell(text, narrow, DT_LEFT | DT_SINGLELINE | DT_NOCLIP),
            (TRect{50, 4, 50 + ext.cx, 4 + ext.cy}));
}

TEST(DrawText, AmpersandUnderlinesTheNextCharacterAndDoubleShowsOne) {
  TextBench b;
  std::shared_ptr<TFontFace> face = TFontFace::ForRequest(b.dc.Font());
  const int row = face->Metrics().tmAscent + face->UnderlineOffset();
  const int a = face->Advance('a'), x = face->Advance('x');
  auto drawn = [&](const std::string& text, unsigned flags) {
    b.surface.Fill(kBack);
    b.dc.SetBrushStyle(TBrushStyle::bsClear);
    b.dc.SetTextColor(clBlack);
    TRect r{0, 0, 200, 40};
    b.dc.DrawText(text, r, flags);
  };
  // "a&x": the underline runs below 'x' only, on a row no glyph of "ax" reaches.
  drawn("a&x", DT_LEFT);
  for (int col = 0; col < a; ++col) EXPECT_EQ(b.surface.Pixel(col, row), kBack) << col;
  for (int col = a; col < a + x; ++col) EXPECT_EQ(b.surface.Pixel(col, row), clBlack) << col;
  EXPECT_EQ(b.surface.Pixel(a + x, row), kBack);
  // No prefix processing: nothing underlined, and the '&' takes its room.
  drawn("a&x", DT_LEFT | DT_NOPREFIX);
  for (int col = 0; col < 60; ++col) EXPECT_EQ(b.surface.Pixel(col, row), kBack) << col;

  EXPECT_EQ(b.Measure("a&&x", 0).Width(), b.dc.TextExtent("a&x").cx);
  EXPECT_EQ(b.Measure("a&x", 0).Width(), a + x);
  EXPECT_EQ(b.Measure("a&x", DT_NOPREFIX).Width(), b.dc.TextExtent("a&x").cx);
  // A trailing lone '&' shows nothing.
  EXPECT_EQ(b.Measure("ax&", 0).Width(), a + x);
}

TEST(DrawText, CalculateRectangleMeasuresWithoutDrawing) {
  TextBench b;
  const TTextMetric m = b.dc.TextMetrics();
  const TSize space = b.dc.TextExtent(" ");
  // Measuring a caption that was empty (one space is measured instead) gives one space.
  const TRect box{5, 7, 100, 100};
  EXPECT_EQ(b.Measure(" ", DT_EXPANDTABS, box), (TRect{5, 7, 5 + space.cx, 7 + space.cy}));
  EXPECT_GT(space.cx, 0);
  // A lone '&' with one space after it measures as that space.
  EXPECT_EQ(b.Measure("& ", 0, box), (TRect{5, 7, 5 + space.cx, 7 + space.cy}));
  // An empty text measures empty.
  EXPECT_EQ(b.Measure("", 0, box), (TRect{5, 7, 5, 7}));
  // Lines and tabs.
  const TRect lines = b.Measure("ab\r\nabcd\nx", 0);
  EXPECT_EQ(lines.Height(), 3 * m.tmHeight);
  EXPECT_EQ(lines.Width(), b.dc.TextExtent("abcd").cx);
  // A break that ends the text adds no line; one between texts, or a second one, does.
  EXPECT_EQ(b.Measure("Error\r\n", 0).Height(), m.tmHeight);
  EXPECT_EQ(b.Measure("Error\n\n", 0).Height(), 2 * m.tmHeight);
  EXPECT_EQ(b.Measure("a\n\nb", 0).Height(), 3 * m.tmHeight);
  EXPECT_EQ(b.Measure("a\tb", DT_EXPANDTABS).Width(),
            8 * m.tmAveCharWidth + b.dc.TextExtent("b").cx);
  // Word breaks keep every line within the width unless a word alone is wider.
  const int limit = b.dc.TextExtent("Checking your").cx;
  const TRect wrapped =
      b.Measure("Checking your mail... Please wait.", DT_WORDBREAK, {0, 0, limit, 100});
  EXPECT_LE(wrapped.Width(), limit);
  EXPECT_GE(wrapped.Height(), 2 * m.tmHeight);
  EXPECT_EQ(b.Ink(), (TRect{1000, 1000, -1, -1}));  // nothing was drawn
}

TEST(TextOut, WithoutSmoothingGlyphsUseOnlyTheTextColour) {
  TextBench b;
  auto colours = [&] {
    b.surface.Fill(kBack);
    b.dc.SetBrushStyle(TBrushStyle::bsClear);
    b.dc.TextOut(2, 2, "Checking your mail");
    std::set<TColor> seen;
    for (int y = 0; y < b.surface.Height(); ++y)
      for (int x = 0; x < b.surface.Width(); ++x) seen.insert(b.surface.Pixel(x, y));
    return seen.size();
  };
  EXPECT_GT(colours(), 2u);  // smoothed edges blend
  SetTextSmoothing(false);
  std::size_t hard = colours();
  SetTextSmoothing(true);
  EXPECT_EQ(hard, 2u);
  const TSize ext = b.dc.TextExtent("Checking your mail");
  SetTextSmoothing(false);
  EXPECT_EQ(b.dc.TextExtent("Checking your mail").cy, ext.cy);
  SetTextSmoothing(true);
}

TEST(DrawText, WordBreakOfLongTextTakesTimeInProportionToIt) {
  // A mail's subject may be one unbroken run of many thousand characters; laying it out
  // must not cost the square of its length.
  TextBench b;
  const std::string word(40000, 'w');
  const std::string words = [] {
    std::string s;
    for (int i = 0; i < 8000; ++i) s += "word ";
    return s;
  }();
  const std::uint64_t start = TickCount();
  const TRect line{0, 0, 180, 40};
  const TRect one = b.Measure(word, DT_WORDBREAK, line);
  EXPECT_EQ(one.Width(), b.dc.TextExtent(word).cx);  // a word wider than the line stays whole
  EXPECT_EQ(one.Height(), b.dc.TextMetrics().tmHeight);
  const TRect many = b.Measure(words, DT_WORDBREAK, line);
  EXPECT_LE(many.Width(), 180);
  const int perLine = (180 + b.dc.TextExtent(" ").cx) / b.dc.TextExtent("word ").cx;
  EXPECT_EQ(many.Height() / b.dc.TextMetrics().tmHeight, (8000 + perLine - 1) / perLine);
  TRect r = line;
  b.dc.DrawText(word + " " + words, r, DT_WORDBREAK);  // drawn, too
  EXPECT_LT(TickCount() - start, 10000u);
}

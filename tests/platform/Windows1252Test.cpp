// The text's bytes are Windows-1252: what each stands for, and that the glyphs drawn and
// measured for them are those of the Unicode characters they stand for.

#include <gtest/gtest.h>

#include "platform/text/FontFace.h"
#include "platform/text/Windows1252.h"

TEST(Windows1252, BytesStandForTheirCharacters) {
  const struct {
    unsigned char byte;
    char32_t unicode;
  } cases[] = {
      {'A', U'A'},       {0x80, U'\u20AC'}, {0x81, 0x81},      {0x85, U'\u2026'}, {0x8A, U'\u0160'},
      {0x8D, 0x8D},      {0x8F, 0x8F},      {0x90, 0x90},      {0x91, U'\u2018'}, {0x92, U'\u2019'},
      {0x93, U'\u201C'}, {0x94, U'\u201D'}, {0x96, U'\u2013'}, {0x97, U'\u2014'}, {0x99, U'\u2122'},
      {0x9D, 0x9D},      {0x9F, U'\u0178'},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Windows1252ToUnicode(c.byte), c.unicode) << std::hex << int(c.byte);
  for (int b = 0xA0; b <= 0xFF; ++b) EXPECT_EQ(Windows1252ToUnicode(b), char32_t(b));
}

TEST(Windows1252, QuotesAndTheEuroAreDrawnAndMeasuredAsTheirUnicodeGlyphs) {
  std::shared_ptr<TFontFace> face = TFontFace::ForRequest(TFontRequest{"DejaVu Sans", 12});
  if (face->File().empty()) GTEST_SKIP() << "no font file to draw with";
  int expectedWidth = 0;
  for (unsigned char byte : {0x93, 0x80, 0x94}) {
    const TFontFace::Glyph& drawn = face->GlyphOf(byte);
    TFontFace::Glyph unicode = face->RenderCodePoint(Windows1252ToUnicode(byte));
    TFontFace::Glyph control = face->RenderCodePoint(byte);  // the byte read as Latin-1
    EXPECT_EQ(drawn.advance, unicode.advance);
    EXPECT_EQ(drawn.coverage, unicode.coverage);
    EXPECT_FALSE(unicode.coverage.empty());
    EXPECT_NE(drawn.coverage, control.coverage) << std::hex << int(byte);
    expectedWidth += unicode.advance;
  }
  EXPECT_EQ(face->TextWidth("\x93\x80\x94"), expectedWidth);
}

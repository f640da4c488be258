#pragma once
// One scalable face at one pixel size, with the glyphs of the 256 byte values (Windows-1252)
// rendered once and kept.
// Faces are shared: ForRequest hands out the same object for the same request until the font
// table changes (AddFontResourceA / RemoveFontResourceA), after which names are resolved
// afresh.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/text/FontRequest.h"

class TFontFace {
 public:
  struct Glyph {
    int advance = 0;  // pixels to the next character
    int left = 0;     // bitmap offset from the pen position
    int top = 0;      // bitmap top above the baseline
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> coverage;  // width * rows, 0..255
  };

  // The face fontconfig picks for the request (underline and strike-out do not matter here;
  // they are drawn as lines). Never null: without any usable font file the face has
  // metrics but draws no glyphs.
  static std::shared_ptr<TFontFace> ForRequest(const TFontRequest& request);
  // Forgets every cached face; the next ForRequest resolves the family again.
  static void FlushCache();

  ~TFontFace();
  const std::string& File() const { return FFile; }
  const std::string& Family() const { return FFamily; }
  const TTextMetric& Metrics() const { return FMetrics; }
  int UnderlineOffset() const { return FUnderlineOffset; }  // rows below the baseline
  int UnderlineThickness() const { return FUnderlineThickness; }
  // The glyph a byte of text is drawn and measured with.
  const Glyph& GlyphOf(unsigned char ch);
  // The glyph of a Unicode character, rendered afresh (not kept).
  Glyph RenderCodePoint(char32_t codePoint);
  int Advance(unsigned char ch) { return GlyphOf(ch).advance; }
  // Width of a run of characters, without kerning (as TextOut places them).
  int TextWidth(const std::string& text);

 private:
  TFontFace() = default;
  bool Load(const std::string& file, int index, int pixelHeight, bool bold, bool italic);
  void SetFallbackMetrics(int pixelHeight);

  std::string FFile;
  std::string FFamily;
  void* FFace = nullptr;  // FT_Face, kept opaque so FreeType stays out of the headers
  bool FSynthBold = false;
  TTextMetric FMetrics;
  int FUnderlineOffset = 1;
  int FUnderlineThickness = 1;
  std::array<std::unique_ptr<Glyph>, 256> FGlyphs;
};

#include "platform/text/FontFace.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <tuple>

#include "platform/text/FontTable.h"
#include "platform/text/Fonts.h"
#include "platform/text/Windows1252.h"

namespace {

using TFaceKey = std::tuple<std::string, int, bool, bool>;

std::mutex& CacheMutex() {
  static std::mutex m;
  return m;
}
std::map<TFaceKey, std::shared_ptr<TFontFace>>& Cache() {
  static std::map<TFaceKey, std::shared_ptr<TFontFace>> cache;
  return cache;
}

FT_Library Library() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) l = nullptr;
    return l;
  }();
  return lib;
}

// Asks fontconfig for the best face for the family; it substitutes a similar family
// (DejaVu Sans for Verdana on a typical Linux machine) when the name is not installed.
bool MatchFace(const TFontRequest& request, int height, std::string& file, int& index,
               std::string& family) {
  FcConfig* config = FontTableConfig();
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.Name.c_str()));
  FcPatternAddDouble(pat, FC_PIXEL_SIZE, height);
  FcPatternAddInteger(pat, FC_WEIGHT, request.Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pat, FC_SLANT, request.Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pat, &result);
  FcPatternDestroy(pat);
  if (!match) return false;
  FcChar8* path = nullptr;
  FcChar8* fam = nullptr;
  bool ok = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
  if (ok) {
    file = reinterpret_cast<const char*>(path);
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    if (FcPatternGetString(match, FC_FAMILY, 0, &fam) == FcResultMatch)
      family = reinterpret_cast<const char*>(fam);
  }
  FcPatternDestroy(match);
  return ok;
}

}  // namespace

std::shared_ptr<TFontFace> TFontFace::ForRequest(const TFontRequest& request) {
  const int height = request.Height > 0 ? request.Height : 12;
  TFaceKey key{request.Name, height, request.Bold, request.Italic};
  std::lock_guard<std::mutex> lock(CacheMutex());
  auto it = Cache().find(key);
  if (it != Cache().end()) return it->second;
  std::shared_ptr<TFontFace> face(new TFontFace);
  std::string file, family;
  int index = 0;
  if (!MatchFace(request, height, file, index, family) ||
      !face->Load(file, index, height, request.Bold, request.Italic)) {
    // The match can be a file that vanished or broke after it was added (fontconfig keeps
    // what it read when it was added); the system's default face is then the next best, and
    // only without any loadable face does text go without glyphs.
    TFontRequest fallback = request;
    fallback.Name = "sans-serif";
    if (!MatchFace(fallback, height, file, index, family) ||
        !face->Load(file, index, height, request.Bold, request.Italic))
      face->SetFallbackMetrics(height);
  }
  face->FFamily = family;
  Cache()[key] = face;
  return face;
}

void TFontFace::FlushCache() {
  std::lock_guard<std::mutex> lock(CacheMutex());
  Cache().clear();
}

TFontFace::~TFontFace() {
  if (FFace) FT_Done_Face(static_cast<FT_Face>(FFace));
}

bool TFontFace::Load(const std::string& file, int index, int pixelHeight, bool bold, bool italic) {
  FT_Face face = nullptr;
  if (!Library() || FT_New_Face(Library(), file.c_str(), index, &face) != 0) return false;
  if (FT_Set_Pixel_Sizes(face, 0, pixelHeight) != 0) {
    FT_Done_Face(face);
    return false;
  }
  FFace = face;
  FFile = file;
  FSynthBold = bold && !(face->style_flags & FT_STYLE_FLAG_BOLD);
  if (italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC)) {
    FT_Matrix shear{0x10000, 0x5000, 0, 0x10000};  // slant about 17 degrees
    FT_Set_Transform(face, &shear, nullptr);
  }
  const FT_Size_Metrics& m = face->size->metrics;
  FMetrics.tmAscent = static_cast<int>((m.ascender + 63) >> 6);
  FMetrics.tmDescent = static_cast<int>((-m.descender + 63) >> 6);
  FMetrics.tmHeight = FMetrics.tmAscent + FMetrics.tmDescent;
  const double scale = static_cast<double>(pixelHeight) / face->units_per_EM;
  FUnderlineOffset = std::max(1, static_cast<int>(std::lround(-face->underline_position * scale)));
  FUnderlineThickness =
      std::max(1, static_cast<int>(std::lround(face->underline_thickness * scale)));
  if (FMetrics.tmAscent + FUnderlineOffset >= FMetrics.tmHeight)
    FUnderlineOffset = std::max(1, FMetrics.tmDescent - 1);
  FMetrics.tmAveCharWidth = std::max(1, Advance('x'));
  return true;
}

void TFontFace::SetFallbackMetrics(int pixelHeight) {
  FMetrics.tmAscent = pixelHeight;
  FMetrics.tmDescent = std::max(1, pixelHeight / 4);
  FMetrics.tmHeight = FMetrics.tmAscent + FMetrics.tmDescent;
  FMetrics.tmAveCharWidth = std::max(1, pixelHeight / 2);
}

const TFontFace::Glyph& TFontFace::GlyphOf(unsigned char ch) {
  std::unique_ptr<Glyph>& slot = FGlyphs[ch];
  if (slot) return *slot;
  // Control characters take no room and show nothing; line breaks and tabs are laid out
  // by DrawText, never drawn as glyphs.
  slot = std::make_unique<Glyph>(ch < 0x20 ? Glyph{} : RenderCodePoint(Windows1252ToUnicode(ch)));
  return *slot;
}

TFontFace::Glyph TFontFace::RenderCodePoint(char32_t codePoint) {
  Glyph glyph;
  FT_Face face = static_cast<FT_Face>(FFace);
  if (!face) {
    glyph.advance = FMetrics.tmAveCharWidth;
    return glyph;
  }
  const bool smooth = TextSmoothing();
  if (FT_Load_Char(face, codePoint, smooth ? FT_LOAD_DEFAULT : FT_LOAD_TARGET_MONO) != 0)
    return glyph;
  if (FSynthBold) FT_Outline_Embolden(&face->glyph->outline, 1 << 6);
  glyph.advance = static_cast<int>((face->glyph->advance.x + 32) >> 6) + (FSynthBold ? 1 : 0);
  if (FT_Render_Glyph(face->glyph, smooth ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0)
    return glyph;
  const FT_Bitmap& bm = face->glyph->bitmap;
  glyph.left = face->glyph->bitmap_left;
  glyph.top = face->glyph->bitmap_top;
  glyph.width = static_cast<int>(bm.width);
  glyph.rows = static_cast<int>(bm.rows);
  glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.rows);
  for (int y = 0; y < glyph.rows; ++y) {
    const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
    std::uint8_t* dst = glyph.coverage.data() + static_cast<std::size_t>(y) * glyph.width;
    if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
      for (int x = 0; x < glyph.width; ++x) dst[x] = (src[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
    } else {
      std::copy_n(src, glyph.width, dst);
    }
  }
  return glyph;
}

int TFontFace::TextWidth(const std::string& text) {
  int w = 0;
  for (unsigned char c : text) w += Advance(c);
  return w;
}

// The font table of the run: listing families, adding a font file for the run and taking
// it away again, and the WM_FONTCHANGE broadcast that tells the windows.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/MessageLoop.h"
#include "platform/text/FontFace.h"
#include "platform/text/Fonts.h"

namespace {

// Makes a font file with a family nobody has installed: a copy of the system's sans face
// whose name strings say "Quillet Tst" (same length, so no table offsets move).
std::string MakeRenamedFont() {
  std::string source = TFontFace::ForRequest(TFontRequest{"DejaVu Sans", 12})->File();
  std::ifstream in(source, std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (bytes.empty()) return {};
  auto replaceAll = [&](const std::string& from, const std::string& to) {
    int n = 0;
    for (std::size_t at = bytes.find(from); at != std::string::npos;
         at = bytes.find(from, at + to.size()), ++n)
      bytes.replace(at, from.size(), to);
    return n;
  };
  auto wide = [](const std::string& s) {
    std::string w;
    for (char c : s) w += std::string(1, '\0') + c;
    return w;
  };
  int hits = replaceAll(wide("DejaVu Sans"), wide("Quillet Tst")) +
             replaceAll("DejaVu Sans", "Quillet Tst");
  if (hits == 0) return {};
  std::string path = ::testing::TempDir() + "/" + std::to_string(::getpid()) + "_quillet.ttf";
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

}  // namespace

TEST(FontTable, FamiliesAreListedOnceSortedAndCaseSensitive) {
  std::vector<std::string> families = InstalledFontFamilies();
  ASSERT_FALSE(families.empty());
  EXPECT_TRUE(std::is_sorted(families.begin(), families.end()));
  EXPECT_EQ(std::adjacent_find(families.begin(), families.end()), families.end());
  // fontconfig matches names without regard to case; presence must not.
  if (!IsFontFamilyInstalled("DejaVu Sans")) GTEST_SKIP() << "DejaVu Sans is not installed";
  EXPECT_FALSE(IsFontFamilyInstalled("dejavu sans"));
  EXPECT_FALSE(IsFontFamilyInstalled("DejaVu"));
}

TEST(FontTable, AddedFileIsUsedForItsFamilyUntilRemoved) {
  std::string path = MakeRenamedFont();
  if (path.empty()) GTEST_SKIP() << "no DejaVu Sans file to derive a test font from";
  ASSERT_FALSE(IsFontFamilyInstalled("Quillet Tst"));
  EXPECT_NE(TFontFace::ForRequest(TFontRequest{"Quillet Tst", 12})->File(), path);

  EXPECT_EQ(AddFontResourceA(path), 1);
  EXPECT_EQ(AddFontResourceA(path), 1);  // a second add changes nothing
  EXPECT_TRUE(IsFontFamilyInstalled("Quillet Tst"));
  EXPECT_EQ(TFontFace::ForRequest(TFontRequest{"Quillet Tst", 12})->File(), path);

  EXPECT_TRUE(RemoveFontResourceA(path));
  EXPECT_FALSE(RemoveFontResourceA(path));
  EXPECT_FALSE(IsFontFamilyInstalled("Quillet Tst"));
  EXPECT_NE(TFontFace::ForRequest(TFontRequest{"Quillet Tst", 12})->File(), path);
  std::remove(path.c_str());
}

TEST(FontTable, MissingOrBrokenFilesAddNothing) {
  std::string dir = ::testing::TempDir();
  EXPECT_EQ(AddFontResourceA(dir + "/no-such-verdana.ttf"), 0);
  std::string junk = dir + "/" + std::to_string(::getpid()) + "_junk.ttf";
  std::ofstream(junk) << "this is not a font";
  EXPECT_EQ(AddFontResourceA(junk), 0);
  EXPECT_FALSE(RemoveFontResourceA(junk));
  std::remove(junk.c_str());
  // Text still draws: the name falls back to the substitute face.
  EXPECT_GT(TFontFace::ForRequest(TFontRequest{"Verdana", 12})->Advance('W'), 0);
}

TEST(FontTable, FontChangeReachesTopLevelWindowsOnly) {
  int topLevel = 0, hidden = 0;
  HWND a = AllocateHWnd(
      [&](UINT msg, WPARAM w, LPARAM l) -> LRESULT {
        if (msg == WM_FONTCHANGE && w == 0 && l == 0) ++topLevel;
        return 0;
      },
      true);
  HWND b = AllocateHWnd([&](UINT msg, WPARAM, LPARAM) -> LRESULT {
    if (msg == WM_FONTCHANGE) ++hidden;
    return 0;
  });
  SendFontChange();
  EXPECT_EQ(topLevel, 1);  // sent, not posted: it has arrived when the call returns
  EXPECT_EQ(hidden, 0);
  DestroyWindow(a);
  DestroyWindow(b);
}

TEST(FontTable, AnAddedFileThatVanishedFallsBackToARealFace) {
  std::string path = MakeRenamedFont();
  if (path.empty()) GTEST_SKIP() << "no DejaVu Sans file to derive a test font from";
  ASSERT_EQ(AddFontResourceA(path), 1);
  // fontconfig still offers the file for its family, but the file is no longer there.
  std::remove(path.c_str());
  std::shared_ptr<TFontFace> face = TFontFace::ForRequest(TFontRequest{"Quillet Tst", 12});
  EXPECT_FALSE(face->File().empty());
  EXPECT_NE(face->File(), path);
  const TFontFace::Glyph& m = face->GlyphOf('m');
  EXPECT_GT(m.advance, 0);
  EXPECT_GT(m.width * m.rows, 0);  // a glyph that shows, not just room
  EXPECT_TRUE(RemoveFontResourceA(path));
}

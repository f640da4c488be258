#include "platform/text/Fonts.h"

#include <fontconfig/fontconfig.h>
// fcfreetype.h needs the declarations above.
#include <fontconfig/fcfreetype.h>

#include <algorithm>
#include <mutex>
#include <set>

#include "platform/MessageLoop.h"
#include "platform/text/FontFace.h"
#include "platform/text/FontTable.h"

namespace {

std::mutex& TableMutex() {
  static std::mutex m;
  return m;
}

// Files added for the run, in the order they were added, so that a removal can rebuild
// fontconfig's application set without it (fontconfig can only clear that set whole).
std::vector<std::string>& AddedFiles() {
  static std::vector<std::string> files;
  return files;
}

int CountFaces(const std::string& path) {
  FcFontSet* set = FcFontSetCreate();
  int count = static_cast<int>(FcFreeTypeQueryAll(reinterpret_cast<const FcChar8*>(path.c_str()),
                                                  -1, nullptr, nullptr, set));
  FcFontSetDestroy(set);
  return count;
}

}  // namespace

FcConfig* FontTableConfig() {
  static FcConfig* config = [] {
    FcInit();
    return FcConfigReference(nullptr);
  }();
  return config;
}

std::vector<std::string> InstalledFontFamilies() {
  std::lock_guard<std::mutex> lock(TableMutex());
  FcPattern* pat = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = FcFontList(FontTableConfig(), pat, objects);
  std::set<std::string> names;
  for (int i = 0; fonts && i < fonts->nfont; ++i) {
    FcChar8* family = nullptr;
    // A face may carry several family names ("DejaVu Sans" and "DejaVu Sans Condensed").
    for (int n = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &family) == FcResultMatch;
         ++n)
      names.insert(reinterpret_cast<const char*>(family));
  }
  if (fonts) FcFontSetDestroy(fonts);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pat);
  return {names.begin(), names.end()};
}

bool IsFontFamilyInstalled(const std::string& family) {
  std::vector<std::string> all = InstalledFontFamilies();
  return std::binary_search(all.begin(), all.end(), family);
}

int AddFontResourceA(const std::string& path) {
  int faces = CountFaces(path);
  if (faces <= 0) return 0;
  {
    std::lock_guard<std::mutex> lock(TableMutex());
    auto& files = AddedFiles();
    if (std::find(files.begin(), files.end(), path) == files.end()) {
      if (!FcConfigAppFontAddFile(FontTableConfig(),
                                  reinterpret_cast<const FcChar8*>(path.c_str())))
        return 0;
      files.push_back(path);
    }
  }
  TFontFace::FlushCache();
  return faces;
}

bool RemoveFontResourceA(const std::string& path) {
  {
    std::lock_guard<std::mutex> lock(TableMutex());
    auto& files = AddedFiles();
    auto it = std::find(files.begin(), files.end(), path);
    if (it == files.end()) return false;
    files.erase(it);
    FcConfigAppFontClear(FontTableConfig());
    for (const std::string& f : files)
      FcConfigAppFontAddFile(FontTableConfig(), reinterpret_cast<const FcChar8*>(f.c_str()));
  }
  TFontFace::FlushCache();
  return true;
}

namespace {
bool gSmoothing = true;
}  // namespace

void SetTextSmoothing(bool on) {
  if (on == gSmoothing) return;
  gSmoothing = on;
  TFontFace::FlushCache();  // cached glyphs were rendered the other way
}

bool TextSmoothing() {
  return gSmoothing;
}

void SendFontChange() {
  BroadcastMessage(WM_FONTCHANGE, 0, 0);
}

// fontconfig 2.14 loses a few hundred bytes while it parses its configuration files, once per
// process. LeakSanitizer would fail every program that draws text because of it; this hook
// (looked up by the sanitizer runtime, unused otherwise) tells it to ignore that library.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

#include "app/ProgramFonts.h"

#include "platform/text/Fonts.h"

std::vector<std::string> TProgramFonts::InstalledFamilies() {
  return InstalledFontFamilies();
}

// A file that cannot be added is not reported: the windows then show a substitute face.
void TProgramFonts::Add(const std::string& path) {
  AddFontResourceA(path);
}

void TProgramFonts::Remove(const std::string& path) {
  RemoveFontResourceA(path);
}

void TProgramFonts::BroadcastChange() {
  SendFontChange();
}

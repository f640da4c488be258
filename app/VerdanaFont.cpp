#include "app/VerdanaFont.h"

#include <algorithm>

#include "app/Program.h"

TVerdanaFont::TVerdanaFont() {
  std::vector<std::string> families = Program().Fonts().InstalledFamilies();
  if (std::find(families.begin(), families.end(), VerdanaFamily) != families.end()) return;
  Program().SetFontAdded(true);
  FAddedPath = Program().Folder() + "/" + VerdanaFileName;
  Program().Fonts().Add(FAddedPath);
  Program().Fonts().BroadcastChange();
}

TVerdanaFont::~TVerdanaFont() {
  if (FAddedPath.empty()) return;
  Program().Fonts().Remove(FAddedPath);
  Program().Fonts().BroadcastChange();
  Program().SetFontAdded(false);
}

#pragma once
// The font table as the start-up sees it: the names of the installed fonts, adding and
// removing a font file for the run, and telling the windows that the fonts changed. The
// run uses the system's table; tests put in one of their own, so that what the start-up
// adds and removes can be counted without touching the fonts of the process.

#include <string>
#include <vector>

class TProgramFonts {
 public:
  virtual ~TProgramFonts() = default;
  // Family names of every installed font.
  virtual std::vector<std::string> InstalledFamilies();
  virtual void Add(const std::string& path);
  virtual void Remove(const std::string& path);
  // The WM_FONTCHANGE broadcast to every top-level window.
  virtual void BroadcastChange();
};

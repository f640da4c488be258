#pragma once
// The process-wide values of the run: the program folder, the screen's colour depth and
// whether the start-up added the "Verdana" font file, with the font table they were
// found in. Start-up sets them once and the windows read them; a test sets its own, so
// the program's code runs in a temporary program folder against a font table it
// controls.

#include <memory>
#include <string>

#include "app/ProgramFonts.h"

class TProgram {
 public:
  TProgram();

  // The folder holding the program file, without a trailing "/" (but "/" itself).
  const std::string& Folder() const { return FFolder; }
  void SetFolder(const std::string& value) { FFolder = value; }

  // Bits per pixel of the screen, measured from the display on first use unless set.
  int ScreenColorBits();
  // Takes the depth of the display of the run.
  void MeasureScreenColorBits();
  // 0 measures again on the next read.
  void SetScreenColorBits(int value) { FScreenColorBits = value; }

  bool FontAdded() const { return FFontAdded; }
  void SetFontAdded(bool value) { FFontAdded = value; }

  TProgramFonts& Fonts() { return *FFonts; }
  // nullptr goes back to the system's font table.
  void SetFonts(std::unique_ptr<TProgramFonts> fonts);

 private:
  std::string FFolder;
  int FScreenColorBits = 0;
  bool FFontAdded = false;
  std::unique_ptr<TProgramFonts> FFonts;
};

// The values of the run.
TProgram& Program();
// Shorthand for Program().ScreenColorBits(), which every window reads when it is created.
inline int ScreenColorBits() {
  return Program().ScreenColorBits();
}

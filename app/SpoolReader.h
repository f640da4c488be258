#pragma once
// The lines of one spool file, read by the program's text-file rules, with room to give
// one line back so that the next reader sees it again.

#include <optional>
#include <string>

#include "forms/TextFile.h"

class TSpoolReader {
 public:
  // Opens Path for reading; raises EInOutError when it cannot.
  explicit TSpoolReader(const std::string& Path);

  // Nothing is left: no line given back, and the end of the readable data.
  bool AtEnd();
  // The line given back, else the next line of the file; empty past the end. Line's
  // storage is reused.
  void Next(std::string& Line);
  void GiveBack(std::string Line) { FGivenBack = std::move(Line); }

 private:
  TTextFile FFile;
  std::optional<std::string> FGivenBack;
};

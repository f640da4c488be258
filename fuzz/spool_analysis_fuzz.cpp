// Runs the analysis of one spool file made of arbitrary bytes, in a program folder of its
// own, with each warning answered at random and the program closed at a random warning.
// No input may crash it, hang it, raise an error (Data0001 exists, so every scratch file
// can be made), show a warning or delete after closing, or leave a file in Data0001 or
// beside it.

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "app/SpoolAnalysis.h"

namespace {

std::set<std::string> Entries(const char* dir) {
  std::set<std::string> names;
  if (DIR* d = ::opendir(dir)) {
    while (const dirent* e = ::readdir(d)) names.insert(e->d_name);
    ::closedir(d);
  }
  return names;
}

std::string gProgramFolder;

void RemoveProgramFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(gProgramFolder, ignored);
}

// The analysis names its files relative to the current folder, so the run moves into a
// folder of its own.
bool MakeProgramFolder() {
  char tmpl[] = "/tmp/quillet-fuzz-XXXXXX";
  if (!::mkdtemp(tmpl) || ::chdir(tmpl) != 0) std::abort();
  if (::mkdir("Data0000", 0777) != 0 || ::mkdir("Data0001", 0777) != 0) std::abort();
  gProgramFolder = tmpl;
  std::atexit(RemoveProgramFolder);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = MakeProgramFolder();
  (void)ready;
  // The first two bytes choose the answers (one bit per warning) and the warning after
  // which the program is closed; the rest is the spool file.
  if (size < 2) return 0;
  const unsigned answers = data[0], closeAt = 1 + data[1] % 16;
  std::ofstream("Data0000/1.msg", std::ios::binary)
      .write(reinterpret_cast<const char*>(data + 2), static_cast<std::streamsize>(size - 2));

  unsigned warnings = 0, deletionsAsked = 0, deletions = 0;
  TSpoolAnalysis analysis;
  analysis.Stopped = [&] { return warnings >= closeAt; };
  analysis.OnWarn = [&](const TWarning& w) {
    if (warnings >= closeAt || w.Name.empty() || w.Line1.empty() || w.Line2.empty()) std::abort();
    const bool remove = (answers >> (warnings++ % 8)) & 1;
    deletionsAsked += remove && warnings < closeAt;
    return remove ? 1 : 2;
  };
  try {
    analysis.CheckSpoolFile("1.msg", [&](const std::string& name) {
      if (name != "1.msg") std::abort();
      ++deletions;
    });
  } catch (const std::exception&) {
    std::abort();
  }
  if (deletions != deletionsAsked) std::abort();
  if (Entries("Data0001") != std::set<std::string>{".", ".."}) std::abort();
  if (Entries(".") != std::set<std::string>{".", "..", "Data0000", "Data0001"}) std::abort();
  return 0;
}

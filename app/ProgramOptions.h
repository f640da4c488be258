#pragma once
// The program's own options, for a run without a display. With a display they are accepted
// and change nothing: the windows appear and the user answers them.
//
//   --answer continue|delete  answers every warning so, for runs nobody watches
//   --screenshots DIR         saves a PNG picture of every window shown into DIR

#include <iosfwd>
#include <string>

enum class TWarningAnswer { Ask, Continue, Delete };

struct TProgramOptions {
  TWarningAnswer Answer = TWarningAnswer::Ask;
  std::string ScreenshotDir;  // absolute; empty: no pictures
};

// Reads the options from the command line (forms/CommandLine); a relative folder is taken
// from the current folder. An unknown option, or a value missing or not understood, is told
// on err and gives false.
bool ReadProgramOptions(TProgramOptions& options, std::ostream& err);

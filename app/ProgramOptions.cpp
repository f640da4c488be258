#include "app/ProgramOptions.h"

#include <ostream>

#include "forms/CommandLine.h"
#include "forms/FileUtils.h"

namespace {

constexpr char kUsage[] =
    "usage: quillet [--answer continue|delete] [--screenshots DIR] [ARGUMENT...]\n"
    "  Any ARGUMENT shows the settings window alone. The options matter only without a display.\n";

bool Refuse(std::ostream& err, const std::string& complaint) {
  err << "quillet: " << complaint << "\n" << kUsage;
  return false;
}

bool ReadOption(const TOption& option, TProgramOptions& options, std::ostream& err) {
  if (option.Name == "answer") {
    if (option.Value == "continue") {
      options.Answer = TWarningAnswer::Continue;
    } else if (option.Value == "delete") {
      options.Answer = TWarningAnswer::Delete;
    } else {
      return Refuse(err, "--answer wants continue or delete");
    }
    return true;
  }
  if (option.Name == "screenshots") {
    if (option.Value.empty()) return Refuse(err, "--screenshots wants a folder");
    options.ScreenshotDir =
        option.Value[0] == '/' ? option.Value : GetCurrentDir() + "/" + option.Value;
    return true;
  }
  return Refuse(err, "unknown option --" + option.Name);
}

}  // namespace

bool ReadProgramOptions(TProgramOptions& options, std::ostream& err) {
  SetOptionsWithValue({"answer", "screenshots"});
  for (const TOption& option : Options())
    if (!ReadOption(option, options, err)) return false;
  return true;
}

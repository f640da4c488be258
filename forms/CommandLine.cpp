#include "forms/CommandLine.h"

#include <unistd.h>

#include <algorithm>
#include <climits>

namespace {

struct TCommandLine {
  std::string Name;
  std::vector<std::string> Arguments;
};

TCommandLine& Current() {
  static TCommandLine line;
  return line;
}

}  // namespace

void SetCommandLine(int argc, const char* const* argv) {
  Current().Name = argc > 0 && argv[0] ? argv[0] : "";
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i] ? argv[i] : "");
  SetArguments(std::move(arguments));
}

void SetArguments(std::vector<std::string> arguments) {
  Current().Arguments = std::move(arguments);
}

const std::vector<std::string>& Arguments() {
  return Current().Arguments;
}

bool CountsAsArgument(const std::string& argument) {
  return !argument.empty();
}

int ParamCount() {
  return static_cast<int>(std::count_if(Arguments().begin(), Arguments().end(), CountsAsArgument));
}

std::string ExeName() {
  char path[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", path, sizeof path);
  if (n > 0 && static_cast<std::size_t>(n) < sizeof path) return std::string(path, n);
  return Current().Name;
}

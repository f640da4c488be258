#include "forms/CommandLine.h"

#include <unistd.h>

#include <algorithm>
#include <climits>

namespace {

struct TCommandLine {
  std::string Name;
  std::vector<std::string> Arguments;
  std::vector<std::string> OptionsWithValue;
};

TCommandLine& Current() {
  static TCommandLine line;
  return line;
}

enum class TKind { Argument, Empty, Option, OptionValue, EndOfOptions };

bool TakesValue(const std::string& name) {
  const auto& names = Current().OptionsWithValue;
  return std::find(names.begin(), names.end(), name) != names.end();
}

// What each argument is. The one scan that both the count and the options read, so the two
// can never disagree about an argument.
std::vector<TKind> Classify(const std::vector<std::string>& arguments) {
  std::vector<TKind> kinds;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (a.empty()) {
      kinds.push_back(TKind::Empty);
    } else if (optionsEnded || !a.starts_with("--")) {
      kinds.push_back(TKind::Argument);
    } else if (a == "--") {
      kinds.push_back(TKind::EndOfOptions);
      optionsEnded = true;
    } else {
      kinds.push_back(TKind::Option);
      if (a.find('=') == std::string::npos && TakesValue(a.substr(2)) && i + 1 < arguments.size()) {
        kinds.push_back(TKind::OptionValue);
        ++i;
      }
    }
  }
  return kinds;
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

void SetOptionsWithValue(std::vector<std::string> names) {
  Current().OptionsWithValue = std::move(names);
}

bool CountsAsArgument(const std::vector<std::string>& arguments, std::size_t index) {
  const std::vector<TKind> kinds = Classify(arguments);
  return index < kinds.size() && kinds[index] == TKind::Argument;
}

int ParamCount() {
  int count = 0;
  for (std::size_t i = 0; i < Arguments().size(); ++i) count += CountsAsArgument(Arguments(), i);
  return count;
}

std::vector<TOption> Options() {
  const std::vector<std::string>& arguments = Arguments();
  const std::vector<TKind> kinds = Classify(arguments);
  std::vector<TOption> options;
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    if (kinds[i] == TKind::OptionValue) {
      options.back().Value = arguments[i];
      options.back().HasValue = true;
    } else if (kinds[i] == TKind::Option) {
      const std::string text = arguments[i].substr(2);
      const std::size_t eq = text.find('=');
      options.push_back(eq == std::string::npos
                            ? TOption{text, "", false}
                            : TOption{text.substr(0, eq), text.substr(eq + 1), true});
    }
  }
  return options;
}

std::string ExeName() {
  char path[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", path, sizeof path);
  if (n > 0 && static_cast<std::size_t>(n) < sizeof path) return std::string(path, n);
  return Current().Name;
}

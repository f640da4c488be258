#pragma once
// The program's own path and its command line. main() hands over the arguments as the
// shell split them; tests set their own.
//
// Arguments that begin with "--" are the program's own options: "--name", or "--name VALUE"
// and "--name=VALUE" for the names the program says take a value. A lone "--" ends the
// options; everything after it is an argument, whatever it begins with.

#include <string>
#include <vector>

// argv[0] is the program's name; the rest are the arguments.
void SetCommandLine(int argc, const char* const* argv);
// The arguments after the program's name, as given.
void SetArguments(std::vector<std::string> arguments);
const std::vector<std::string>& Arguments();

// The names of the options (without "--") that take a value.
void SetOptionsWithValue(std::vector<std::string> names);

// Whether arguments[index] counts as an argument: empty text (what `quillet ""` passes) is
// none, and neither is an option, its value or the "--" that ends the options.
bool CountsAsArgument(const std::vector<std::string>& arguments, std::size_t index);
// How many of the arguments count.
int ParamCount();

struct TOption {
  std::string Name;  // without "--"
  std::string Value;
  bool HasValue = false;  // false also for an option that wants one and was given none
};
// The options given, in order.
std::vector<TOption> Options();

// The full path of the running program file (/proc/self/exe; the name it was started by
// where that cannot be read).
std::string ExeName();

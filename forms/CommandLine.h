#pragma once
// The program's own path and its command line. main() hands over the arguments as the
// shell split them; tests set their own.

#include <string>
#include <vector>

// argv[0] is the program's name; the rest are the arguments.
void SetCommandLine(int argc, const char* const* argv);
// The arguments after the program's name, as given.
void SetArguments(std::vector<std::string> arguments);
const std::vector<std::string>& Arguments();

// Whether an argument counts: empty text (what `quillet ""` passes) is no argument.
bool CountsAsArgument(const std::string& argument);
// How many of the arguments count.
int ParamCount();

// The full path of the running program file (/proc/self/exe; the name it was started by
// where that cannot be read).
std::string ExeName();

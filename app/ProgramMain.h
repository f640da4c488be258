#pragma once
// The program's run from its start to its end, for main() and for tests, which run it in a
// temporary program folder on a headless screen.

#include <iosfwd>
#include <string>

// The exit statuses of the program.
constexpr int ExitOk = 0;                  // the main window or the settings window was closed
constexpr int ExitSettingsUnreadable = 1;  // settings-only mode found no readable settings file
constexpr int ExitNoDisplay = 2;           // no X display could be opened
constexpr int ExitFailed = 3;              // an error nothing else caught, told on stderr

// Makes an X display the display of the run. Without one, says so on err and gives false.
bool UseX11Display(std::ostream& err);

// Starts the program whose file is exePath, with the arguments of forms/CommandLine: the
// program folder is entered, the screen measured, "Verdana" made sure of, the main and
// warning windows made; then, with arguments, the settings window alone, and without, the
// message loop with the main window until it is closed. Gives the exit status.
int ProgramMain(const std::string& exePath);

#pragma once
// The program's run from its start to its end, for main() and for tests, which run it in a
// temporary program folder on a headless screen.

#include <iosfwd>
#include <string>

struct TConsole;

// The exit statuses of the program.
constexpr int ExitOk = 0;                  // the check ended, or a window was closed
constexpr int ExitSettingsUnreadable = 1;  // settings-only mode found no readable settings file
constexpr int ExitBadOption = 2;           // an unknown option or a bad value, told on stderr
constexpr int ExitFailed = 3;              // an error nothing else caught, told on stderr
constexpr int ExitCheckFailed = 4;         // without a display: an error box stopped the check

// Makes the display of the run: an X display when one can be opened, else the in-memory
// screen, which the program then follows on the terminal. An X display named in DISPLAY
// that cannot be opened is told on err. True for an X display.
bool OpenDisplay(std::ostream& err);

// Starts the program whose file is exePath, with the arguments of forms/CommandLine: its
// own options are read, the program folder is entered, the screen measured, "Verdana" made
// sure of, the main and warning windows made; then, with arguments, the settings window
// alone, and without, the message loop with the main window until it is closed. With a
// console the run is followed there (app/Transcript) and ends by itself. Gives the exit
// status.
int ProgramMain(const std::string& exePath, const TConsole* console = nullptr);

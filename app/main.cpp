// The program quillet. With one or more arguments it shows only its settings window;
// without, it checks the mailbox. See app/ProgramMain.h for the exit statuses.

#include <exception>
#include <iostream>

#include "app/ProgramMain.h"
#include "forms/CommandLine.h"

int main(int argc, char** argv) {
  SetCommandLine(argc, argv);
  try {
    if (!UseX11Display(std::cerr)) return ExitNoDisplay;
    return ProgramMain(ExeName());
  } catch (const std::exception& e) {
    std::cerr << "quillet: " << e.what() << "\n";
    return ExitFailed;
  }
}

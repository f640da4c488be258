// The program quillet. With one or more arguments it shows only its settings window;
// without, it checks the mailbox. Without an X display it runs all the same and is followed
// on the terminal. See app/ProgramMain.h for the exit statuses, app/ProgramOptions.h for
// the options.

#include <fcntl.h>
#include <unistd.h>

#include <exception>
#include <iostream>

#include "app/ProgramMain.h"
#include "app/Transcript.h"
#include "forms/CommandLine.h"

int main(int argc, char** argv) {
  SetCommandLine(argc, argv);
  // A closed standard input would leave descriptor 0 to the first socket opened, whose
  // bytes would then be read as answers; /dev/null holds the place and reads as closed.
  if (::fcntl(STDIN_FILENO, F_GETFD) == -1) ::open("/dev/null", O_RDONLY);
  try {
    if (OpenDisplay(std::cerr)) return ProgramMain(ExeName());
    const TConsole console{STDIN_FILENO, std::cout, std::cerr, ::isatty(STDIN_FILENO) == 1,
                           ::isatty(STDOUT_FILENO) == 1};
    return ProgramMain(ExeName(), &console);
  } catch (const std::exception& e) {
    std::cerr << "quillet: " << e.what() << "\n";
    return ExitFailed;
  }
}

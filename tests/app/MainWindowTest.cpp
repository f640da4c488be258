// The main window as the program runs it without arguments: the settings are read when it
// first appears, asked for while one is missing, and Esc or its close button end the run.

#include <optional>

#include "WindowsHarness.h"

namespace {

using MainWindow = WindowsHarness;

TEST_F(MainWindow, ReadsTheSettingsWhenItAppearsAndAsksForMissingOnes) {
  const std::string twoLines = "h\r\n110\r\n";
  CheckRuns(
      {}, {
              {"complete settings go to the client",
               "h\r\n110\r\nu\r\nbcd\r\n",
               {Press(VK_ESCAPE)},
               {"fMain ... h|110|u|abc"},
               "h\r\n110\r\nu\r\nbcd\r\n"},
              {"Cancel in the settings window ends the program",
               twoLines,
               {ClickOn("QnButton2")},
               {"fSetup h|110||"},
               twoLines},
              {"so does its close button",
               twoLines,
               {ClickOn("IButton2")},
               {"fSetup h|110||"},
               twoLines},
              {"saved settings are read again",
               twoLines,
               {TypeInto("eUser", "u"), TypeInto("ePass", "abc"), Press(VK_RETURN),
                ClickOn("IButton2")},
               {"fSetup h|110||", "fSetup h|110|u|", "fSetup h|110|u|abc", "fMain ... h|110|u|abc"},
               "h\r\n110\r\nu\r\nbcd\r\n"},
              {"a missing file is reported and the window stays",
               std::nullopt,
               {Press(VK_RETURN), Press(VK_ESCAPE)},
               {"MessageBox File not found", "fMain ... |pop3||"},
               std::nullopt},
          });
}

}  // namespace

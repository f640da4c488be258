// The main window as the program runs it without arguments: the settings are read when it
// first appears, asked for while one is missing, and Esc or its close button end the run.

#include <optional>

#include "WindowsHarness.h"
#include "support/ScriptedPeer.h"

namespace {

using MainWindow = WindowsHarness;

// Complete settings start the check; the server here takes the connection and never
// greets, so the status stays "Connecting to your mailbox..." until the user closes.
TEST_F(MainWindow, ReadsTheSettingsWhenItAppearsAndAsksForMissingOnes) {
  TScriptedPeer silent;
  silent.Expect();
  const std::string host = "127.0.0.1\r\n" + silent.Port() + "\r\n";
  const std::string complete = host + "u\r\nbcd\r\n";
  const std::string shown = "127.0.0.1|" + silent.Port() + "|";
  const std::string connecting = "fMain Connecting to your mailbox... " + shown + "u|abc";
  CheckRuns({}, {
                    {"complete settings go to the client",
                     complete,
                     {Press(VK_ESCAPE)},
                     {connecting},
                     complete},
                    {"Cancel in the settings window ends the program",
                     host,
                     {ClickOn("QnButton2")},
                     {"fSetup " + shown + "|"},
                     host},
                    {"so does its close button",
                     host,
                     {ClickOn("IButton2")},
                     {"fSetup " + shown + "|"},
                     host},
                    {"saved settings are read again",
                     host,
                     {TypeInto("eUser", "u"), TypeInto("ePass", "abc"), Press(VK_RETURN),
                      ClickOn("IButton2")},
                     {"fSetup " + shown + "|", "fSetup " + shown + "u|",
                      "fSetup " + shown + "u|abc", connecting},
                     complete},
                    {"a missing file is reported and the window stays",
                     std::nullopt,
                     {Press(VK_RETURN), Press(VK_ESCAPE)},
                     {"MessageBox File not found", "fMain ... |pop3||"},
                     std::nullopt},
                });
}

}  // namespace

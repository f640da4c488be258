// quillet started with an argument: its settings window alone, centred on the screen; what
// is typed there and saved with Enter reaches the settings file scrambled, and Esc leaves
// the file as it was. Both end the program.

#include "QuilletRun.h"

namespace {

// In the window's own pixels: the server field, and the port field, which Tab passes over.
constexpr char kServerField[] = "160 50";
constexpr char kPortField[] = "275 64";

TEST_F(QuilletRun, TheSettingsWindowIsCentredAndEnterSavesWhatWasTyped) {
  Start("x");
  const std::string window = WaitForWindow("Quillet Settings");
  ASSERT_FALSE(window.empty()) << "no settings window";
  // 328 x 187 in the middle of the 1024 x 768 screen.
  EXPECT_EQ(Geometry(window), "348 290 328 187");

  XDo("mousemove --sync --window " + window + " " + kServerField + " click 1");
  XDo("type pop.example.org");
  XDo("key Tab type joe");
  XDo("key Tab type abc");
  XDo("mousemove --sync --window " + window + " " + kPortField + " click 1");
  XDo("type 110");
  XDo("key Return");
  EXPECT_EQ(WaitForExit(), 0);
  EXPECT_EQ(ProgramFile("Tessel.dat"), "pop.example.org\r\n110\r\njoe\r\nbcd\r\n");
}

TEST_F(QuilletRun, EscEndsTheProgramWithTheFileUntouched) {
  const std::string saved = "pop.example.org\r\n110\r\njoe\r\nbcd\r\n";
  SetProgramFile("Tessel.dat", saved);
  Start("x");
  const std::string window = WaitForWindow("Quillet Settings");
  ASSERT_FALSE(window.empty()) << "no settings window";
  XDo("mousemove --sync --window " + window + " " + kServerField + " type changed");
  XDo("key Escape");
  EXPECT_EQ(WaitForExit(), 0);
  EXPECT_EQ(ProgramFile("Tessel.dat"), saved);
}

// Needs no X server, but lives with the other runs of the real program.
TEST(QuilletWithoutDisplay, SaysSoAndEndsWithStatusTwo) {
  int status = 0;
  const std::string out = CommandOutput("env -u DISPLAY " QUILLET_PROGRAM_DIR "/quillet x", status);
  EXPECT_EQ(status, 2);
  EXPECT_EQ(out,
            "quillet: no X display could be opened: DISPLAY is not set. Quillet shows its windows "
            "on an X server; start it in a desktop session.\n");
}

}  // namespace

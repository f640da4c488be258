// The settings window as the program shows it with an argument: filled from the settings
// file, saving what was typed with the password scrambled, and refusing or failing a save
// without losing the window or the old file.

#include <unistd.h>

#include <filesystem>
#include <optional>

#include "WindowsHarness.h"
#include "app/Program.h"
#include "forms/Application.h"

using namespace std::string_literals;

namespace {

using SettingsOnlyMode = WindowsHarness;

const std::string kSaved = "pop.example.org\r\n110\r\njoe\r\nbcd\r\n";
const std::string kShown = "fSetup pop.example.org|110|joe|abc";

TEST_F(SettingsOnlyMode, ShowsTheFileInTheWindowAndWritesOnlyWhatASaveAccepts) {
  const std::string refusal =
      "MessageBox The password contains a control character (Ctrl+L or Ctrl+Y) that the "
      "settings file cannot store. Please type the password again without it.";
  CheckRuns({"x"},
            {
                {"Esc cancels", kSaved, {Press(VK_ESCAPE)}, {kShown}, kSaved},
                {"Cancel cancels", kSaved, {ClickOn("QnButton2")}, {kShown}, kSaved},
                {"the close button cancels", kSaved, {ClickOn("IButton2")}, {kShown}, kSaved},
                {"Enter saves the typed password scrambled",
                 "pop.example.org\r\n110\r\njoe\r\n",
                 {TypeInto("ePass", "abc"), Press(VK_RETURN)},
                 {"fSetup pop.example.org|110|joe|", kShown},
                 kSaved},
                {"Save stores the byte 255 as 0",
                 "h\r\np\r\nu\r\n",
                 {TypeInto("ePass", "x\xFF"), ClickOn("QnButton1")},
                 {"fSetup h|p|u|", "fSetup h|p|u|x\xFF"},
                 "h\r\np\r\nu\r\ny\0\r\n"s},
                {"an empty field refuses the save without a word",
                 "h\r\n\r\nu\r\nbcd\r\n",
                 {Press(VK_RETURN), Press(VK_ESCAPE)},
                 {"fSetup h||u|abc", "fSetup h||u|abc"},
                 "h\r\n\r\nu\r\nbcd\r\n"},
                {"a password the file cannot hold is refused",
                 kSaved,
                 {PasteInto("ePass", "\x0C"), Press(VK_RETURN), Press(VK_RETURN), Press(VK_ESCAPE)},
                 {kShown, kShown + "\x0C", refusal, kShown + "\x0C"},
                 kSaved},
                {"a failed write keeps the window and the old file",
                 kSaved,
                 {TypeInto("eUser", "2"),
                  [this](TForm*) {
                    DiskFull = std::make_unique<TFileSizeLimit>(8);
                    Key(VK_RETURN);
                  },
                  [this](TForm*) {
                    DiskFull.reset();
                    Key(VK_RETURN);
                  },
                  Press(VK_ESCAPE)},
                 {kShown, "fSetup pop.example.org|110|joe2|abc", "MessageBox Disk full",
                  "fSetup pop.example.org|110|joe2|abc"},
                 kSaved},
                {"without a file only the error is shown",
                 std::nullopt,
                 {Press(VK_RETURN)},
                 {"MessageBox File not found"},
                 std::nullopt,
                 1},
            });
}

// The start-up's steps run in this mode too: the program folder, the font, the windows'
// creation with the sweep of spool files 1 to 1000.
TEST_F(SettingsOnlyMode, StartsAsTheMailCheckDoesAndSweepsTheSpoolFiles) {
  namespace fs = std::filesystem;
  for (int n : {1, 2, 999, 1000, 1001})
    Folder().Write("Data0000/" + std::to_string(n) + ".msg", "x");
  Folder().Write("Tessel.dat", kSaved);
  Folder().MakeFolder("elsewhere");
  ASSERT_EQ(::chdir(Folder().File("elsewhere").c_str()), 0);
  EXPECT_EQ(RunProgram({"x"}, {Press(VK_ESCAPE)}), 0);
  EXPECT_EQ(Shown, TLines{kShown});
  TLines left;
  for (const auto& entry : fs::directory_iterator(Folder().File("Data0000")))
    left.push_back(entry.path().filename());
  EXPECT_EQ(left, TLines{"1001.msg"});
  EXPECT_EQ(Program().Folder(), Folder().Path());
  EXPECT_EQ(Application->HelpFile(), "Tessel.hlp");
  EXPECT_EQ(Application->Title(), "Quillet");
  EXPECT_EQ(Fonts().Added, TLines{Folder().File("verdana.ttf")});
  EXPECT_EQ(Fonts().Removed, Fonts().Added);
}

}  // namespace

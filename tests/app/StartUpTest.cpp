// The start's steps before the windows: the program folder, the screen's colour depth and
// the "Verdana" font added for the run.

#include <stdexcept>

#include "ProgramFolderFixture.h"
#include "app/Program.h"
#include "app/StartUp.h"
#include "app/VerdanaFont.h"
#include "forms/FileUtils.h"

namespace {

using StartUp = ProgramFolderTest;

TEST_F(StartUp, TheProgramFolderIsTheProgramsOwnAndBecomesTheCurrentFolder) {
  Folder().MakeFolder("install");
  EnterProgramFolder(Folder().File("install/quillet"));
  EXPECT_EQ(Program().Folder(), Folder().File("install"));
  EXPECT_EQ(GetCurrentDir(), Folder().File("install"));
  // A name without a folder, or with a relative one, is taken from where the program stands.
  EnterProgramFolder("quillet");
  EXPECT_EQ(Program().Folder(), Folder().File("install"));
  ASSERT_TRUE(SetCurrentDir(Folder().Path()));
  EnterProgramFolder("install/quillet");
  EXPECT_EQ(Program().Folder(), Folder().File("install"));
  // A folder that cannot be entered is passed over.
  EnterProgramFolder("/no/such/folder/quillet");
  EXPECT_EQ(Program().Folder(), "/no/such/folder");
  EXPECT_EQ(GetCurrentDir(), Folder().File("install"));
}

TEST_F(StartUp, TheScreensDepthIsMeasuredOnce) {
  Screen().SetScreen(1024, 768, 8);
  Program().MeasureScreenColorBits();
  Screen().SetScreen(1024, 768, 24);
  EXPECT_EQ(ScreenColorBits(), 8);
  Program().SetScreenColorBits(0);
  EXPECT_EQ(ScreenColorBits(), 24);  // not measured yet: the first read measures
}

TEST_F(StartUp, VerdanaIsAddedForTheRunUnlessAFontIsNamedExactlySo) {
  const struct {
    std::vector<std::string> installed;
    bool added;
  } cases[] = {
      {{"DejaVu Sans", "Verdana"}, false},
      {{"verdana"}, true},
      {{"VERDANA", "Verdana Pro"}, true},
      {{}, true},
  };
  const std::string file = Folder().File("verdana.ttf");
  for (const auto& c : cases) {
    Fonts() = TRecordingFonts{};
    Fonts().Families = c.installed;
    const std::vector<std::string> expected =
        c.added ? std::vector{file} : std::vector<std::string>{};
    {
      TVerdanaFont verdana;
      EXPECT_EQ(Program().FontAdded(), c.added);
      EXPECT_EQ(Fonts().Added, expected);
      EXPECT_TRUE(Fonts().Removed.empty());
      EXPECT_EQ(Fonts().Broadcasts, c.added ? 1 : 0);
    }
    EXPECT_FALSE(Program().FontAdded());
    EXPECT_EQ(Fonts().Removed, expected);
    EXPECT_EQ(Fonts().Broadcasts, c.added ? 2 : 0);
  }
}

TEST_F(StartUp, TheAddedFontIsRemovedWhenTheStartEndsThroughAnError) {
  try {
    TVerdanaFont verdana;
    throw std::runtime_error("File not found");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(Fonts().Removed, std::vector{Folder().File("verdana.ttf")});
}

}  // namespace

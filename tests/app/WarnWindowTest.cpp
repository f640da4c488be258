// The warning window: the user's choice as its modal result, and the texts the analysis
// puts into it for each attachment.

#include "SpoolHarness.h"
#include "WindowsHarness.h"
#include "app/Main.h"
#include "app/SpoolFiles.h"
#include "app/Warn.h"
#include "forms/Application.h"

namespace {

using WarnWindow = WindowsHarness;

TEST_F(WarnWindow, DeleteGivesOneAndEveryOtherWayOutTwo) {
  MakeProgramWindows();
  const struct {
    const char* what;
    TAction action;
    int result;
  } cases[] = {
      {"Delete & continue scanning", ClickOn("qDel"), 1},
      {"Continue scanning", ClickOn("qCon"), 2},
      {"the close button", ClickOn("IButton2"), 2},
      {"Enter", Press(VK_RETURN), 2},
      {"Esc", Press(VK_ESCAPE), 2},
      {"closed from outside", [this](TForm* w) { Screen().InjectClose(w->DisplayWindow()); }, 2},
  };
  for (const auto& c : cases) {
    int result = 0;
    Drive({c.action}, [&] { result = fWarn->ShowModal(); });
    EXPECT_EQ(result, c.result) << c.what;
  }
}

class WarningsOfAnAnalysis : public WarnWindow {
 protected:
  void SetUp() override {
    WarnWindow::SetUp();
    MakeProgramWindows();
    Folder().Write("Data0000/1.msg",
                   "From: Alice <a@b>\r\nSubject: Two files\r\n\r\nname=\"one.exe\"\r\n\r\nTVo=\r\n"
                   "\r\nname=\"two.exe\"\r\n\r\nTVo=\r\n\r\n");
    Folder().Write("Data0000/2.msg", "name=\"three.exe\"\r\n\r\nTVo=\r\n\r\n");
  }
  void Check(std::deque<TAction> actions) {
    Drive(std::move(actions), [this] {
      for (int n : {1, 2})
        fMain->CheckSpoolFile(
            SpoolName(n), [this](const std::string& name) { Shown.push_back("delete " + name); });
    });
  }
};

// The second message has no sender or subject: the labels show none, not the first's.
TEST_F(WarningsOfAnAnalysis, EachShowsExactlyItsAttachmentsTexts) {
  Check({ClickOn("qDel"), Press(VK_ESCAPE), Press(VK_RETURN)});
  EXPECT_EQ(Shown, (TLines{"fWarn Alice <a@b>|Two files|one.exe|" + kExeClean, "delete 1.msg",
                           "fWarn Alice <a@b>|Two files|two.exe|" + kExeClean,
                           "fWarn ||three.exe|" + kExeClean}));
}

TEST_F(WarningsOfAnAnalysis, EndOnceTheProgramIsClosed) {
  Check({[](TForm*) { Application->Terminate(); }});
  EXPECT_EQ(Shown, (TLines{"fWarn Alice <a@b>|Two files|one.exe|" + kExeClean}));
}

}  // namespace

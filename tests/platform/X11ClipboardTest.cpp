// The X11 clipboard against a real X server and a real second program: each test starts
// its own Xvfb on a free display (-displayfd) and uses xclip as the other program.
// Skipped when Xvfb or xclip is not installed.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include <X11/Xlib.h>

#include "platform/MessageLoop.h"
#include "platform/x11/X11Display.h"
#include "support/LoopRunner.h"
#include "support/XvfbServer.h"

namespace {

// Runs the loop until done(), looking every 20 ms: what is awaited here (another process
// exiting or taking the clipboard) sends this program no message.
bool LoopUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
  HWND ticker = AllocateHWnd([](UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
  SetTimer(ticker, 1, 20);
  bool ok = RunLoopUntil(done, timeoutMs);
  KillTimer(ticker, 1);
  DestroyWindow(ticker);
  return ok;
}

struct X11ClipboardBench : ::testing::Test {
  TXvfbServer server;
  std::unique_ptr<TX11Display> display;
  std::string scratch = ::testing::TempDir() + "quillet-clip-" + std::to_string(::getpid());
  Display* observer = nullptr;

  void SetUp() override {
    if (!OnPath("Xvfb") || !OnPath("xclip"))
      GTEST_SKIP() << "Xvfb or xclip is not installed; the X11 clipboard is not tested";
    ASSERT_TRUE(server.Start(24, "640x480")) << "Xvfb did not report a display";
    display = TX11Display::Open(server.Name());
    ASSERT_NE(display, nullptr);
  }
  void TearDown() override {
    if (observer) XCloseDisplay(observer);
    std::remove(scratch.c_str());
  }

  // The clipboard's owner window, seen through a connection of the test's own.
  Window Owner() {
    if (!observer) observer = XOpenDisplay(server.Name().c_str());
    if (!observer) return None;
    return XGetSelectionOwner(observer, XInternAtom(observer, "CLIPBOARD", False));
  }

  // Runs `xclip -i` with text in the background and waits until it owns the clipboard.
  // xclip's foreground process exits before its background child takes the selection, so
  // its exit says nothing; the owner changing does.
  bool AnotherProgramTakesTheClipboard(const std::string& shellText) {
    Window before = Owner();
    pid_t setter =
        server.Spawn("printf '" + shellText + "' | xclip -selection clipboard >/dev/null 2>&1");
    int status = -1;
    return LoopUntil([&] {
      if (setter > 0 && ::waitpid(setter, &status, WNOHANG) == setter) setter = -1;
      Window now = Owner();
      return setter < 0 && now != None && now != before;
    });
  }

  // What `xclip -o` prints, while our loop runs to answer its request.
  std::string XclipOut(const std::string& args = "") {
    pid_t pid =
        server.Spawn("xclip -o -selection clipboard " + args + " > " + scratch + " 2>/dev/null");
    int status = -1;
    bool exited = LoopUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; });
    if (!exited) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
      return "<xclip did not finish>";
    }
    std::ifstream in(scratch, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text.str() : "<xclip failed>";
  }

  // Starts xclip as the clipboard's owner of text (in the foreground, so its pid is known)
  // and waits until our backend reads that text.
  pid_t XclipOwns(const std::string& text) {
    {
      std::ofstream out(scratch, std::ios::binary);
      out << text;
    }
    pid_t pid =
        server.Spawn("exec xclip -quiet -selection clipboard -i " + scratch + " >/dev/null 2>&1");
    std::string read;
    LoopUntil([&] { return display->GetClipboardText(read) && read != "ours"; });
    return pid;
  }
};

TEST_F(X11ClipboardBench, OtherProgramsReadOurTextInEachOfferedForm) {
  EXPECT_EQ(XclipOut(), "<xclip failed>");  // nobody owns the clipboard yet
  std::string text;
  EXPECT_FALSE(display->GetClipboardText(text));

  display->SetClipboardText("caf\xE9 au lait");
  EXPECT_EQ(XclipOut(), "caf\xC3\xA9 au lait");  // UTF8_STRING, xclip's default
  EXPECT_EQ(XclipOut("-t STRING"), "caf\xE9 au lait");
  std::string targets = XclipOut("-t TARGETS");
  EXPECT_NE(targets.find("UTF8_STRING"), std::string::npos) << targets;
  EXPECT_NE(targets.find("STRING\n"), std::string::npos) << targets;
  EXPECT_EQ(XclipOut("-t image/png"), "<xclip failed>");  // refused, not answered wrongly
  ASSERT_TRUE(display->GetClipboardText(text));
  EXPECT_EQ(text, "caf\xE9 au lait");

  // Giving the clipboard up leaves it without an owner.
  display->SetClipboardText("");
  EXPECT_FALSE(display->GetClipboardText(text));
  EXPECT_EQ(XclipOut(), "<xclip failed>");
}

TEST_F(X11ClipboardBench, WeReadTheTextAnotherProgramTookTheClipboardWith) {
  display->SetClipboardText("ours");
  ASSERT_TRUE(AnotherProgramTakesTheClipboard("na\\303\\257ve \\342\\202\\254"));
  std::string text;
  ASSERT_TRUE(display->GetClipboardText(text));
  // Latin-1 keeps the i with diaeresis; the euro sign has no Latin-1 form.
  EXPECT_EQ(text, "na\xEFve ?");
  // Losing the clipboard dropped our text: other programs now get xclip's.
  EXPECT_EQ(XclipOut(), "na\xC3\xAFve \xE2\x82\xAC");

  // Taking it back works after having lost it.
  display->SetClipboardText("again");
  EXPECT_EQ(XclipOut(), "again");
}

TEST_F(X11ClipboardBench, AHungOwnerCostsAtMostABoundedWait) {
  display->SetClipboardText("ours");
  pid_t owner = XclipOwns("frozen soon");
  std::string text;
  ASSERT_TRUE(display->GetClipboardText(text));
  ASSERT_EQ(text, "frozen soon");

  ::kill(owner, SIGSTOP);
  std::uint64_t start = TickCount();
  text = "unchanged";
  EXPECT_FALSE(display->GetClipboardText(text));
  std::uint64_t waited = TickCount() - start;
  EXPECT_GE(waited, 900u);
  EXPECT_LT(waited, 2500u);  // one wait, not one per target tried
  EXPECT_EQ(text, "unchanged");

  // Another program takes the clipboard; then the hung one wakes and answers the read we
  // gave up on. That late answer must not be taken for the answer to the next read.
  ASSERT_TRUE(AnotherProgramTakesTheClipboard("fresh"));
  ::kill(owner, SIGCONT);
  ASSERT_TRUE(display->GetClipboardText(text));
  EXPECT_EQ(text, "fresh");
  ::kill(owner, SIGKILL);
  ::waitpid(owner, nullptr, 0);
}

}  // namespace

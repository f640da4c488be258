// The synchronous wait of the socket component: it keeps the thread's messages flowing
// until a flag is set, sleeps in between instead of spinning, and gives up when WM_QUIT
// arrives.

#include <gtest/gtest.h>

#include <ctime>

#include "net/WSocket.h"
#include "platform/MessageLoop.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"

namespace {

constexpr UINT SetFlagMessage = WM_USER + 100;

double ProcessCpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// A window that sets the flag on SetFlagMessage and on timer 1, and posts WM_QUIT on
// timer 2: the reaper that turns a wait that never ends into a failed test.
class TFlagWindow {
 public:
  explicit TFlagWindow(std::uint8_t& flag) : FFlag(flag) {
    FWnd = AllocateHWnd([this](UINT msg, WPARAM wParam, LPARAM) -> LRESULT {
      if (msg == SetFlagMessage || (msg == WM_TIMER && wParam == 1)) {
        ++Dispatched;
        FFlag = 1;
        KillTimer(FWnd, 1);
      } else if (msg == WM_TIMER && wParam == 2) {
        KillTimer(FWnd, 2);
        PostQuitMessage(0);
      }
      return 0;
    });
  }
  ~TFlagWindow() {
    KillTimer(FWnd, 1);
    KillTimer(FWnd, 2);
    DestroyWindow(FWnd);
  }
  HWND Wnd() const { return FWnd; }
  int Dispatched = 0;

 private:
  std::uint8_t& FFlag;
  HWND FWnd = 0;
};

}  // namespace

TEST(SyncWaitTest, WaitsForAFlagSetByAHandlerWithoutUsingTheCpu) {
  TWSocket sock;
  std::uint8_t flag = 0;
  TFlagWindow window(flag);
  SetTimer(window.Wnd(), 1, 200);
  SetTimer(window.Wnd(), 2, 5000);
  const std::uint64_t start = TickCount();
  const double cpuStart = ProcessCpuMs();
  EXPECT_EQ(sock.WaitForFlag(flag), 0);
  const double cpuUsed = ProcessCpuMs() - cpuStart;
  EXPECT_GE(TickCount() - start, 190u);
  EXPECT_EQ(flag, 1);
  // A spinning wait would burn the whole 200 ms.
  EXPECT_LT(cpuUsed, 40.0) << "CPU time used while waiting: " << cpuUsed << " ms";
}

TEST(SyncWaitTest, WaitUntilClearsTheFlagFirstThenRunsTheProcedure) {
  TWSocket sock;
  std::uint8_t flag = 1;
  TFlagWindow window(flag);
  SetTimer(window.Wnd(), 2, 5000);
  int flagSeenByProc = -1;
  const int result = sock.WaitUntil(flag, [&] {
    flagSeenByProc = flag;
    PostMessage(window.Wnd(), SetFlagMessage, 0, 0);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(flagSeenByProc, 0);
  EXPECT_EQ(window.Dispatched, 1);
  // Without a procedure the flag set earlier is cleared too, so this waits for the post.
  PostMessage(window.Wnd(), SetFlagMessage, 0, 0);
  EXPECT_EQ(sock.WaitUntil(flag, nullptr), 0);
  EXPECT_EQ(window.Dispatched, 2);
}

TEST(SyncWaitTest, QuitMetWhileWaitingAbandonsTheWait) {
  TWSocket sock;
  std::uint8_t flag = 0;
  TFlagWindow window(flag);
  PostMessage(window.Wnd(), WM_NULL, 0, 0);
  PostQuitMessage(0);
  SetTimer(window.Wnd(), 1, 2000);  // would set the flag much later
  EXPECT_EQ(sock.WaitForFlag(flag), 12001);
  EXPECT_TRUE(sock.Terminated());
  EXPECT_EQ(flag, 0);
  // The quit was consumed by the wait, not left for the outer loop.
  const bool quitSeenBefore = SawQuit();
  DrainMessages();
  EXPECT_EQ(SawQuit(), quitSeenBefore);
  // A component that met WM_QUIT stays terminated, but a flag already set still wins.
  EXPECT_EQ(sock.WaitForFlag(flag), 12001);
  flag = 1;
  EXPECT_EQ(sock.WaitForFlag(flag), 0);
}

TEST(SyncWaitTest, SocketNotificationsAreHandledInsideTheWait) {
  TScriptedPeer peer;
  TWSocket sock;
  std::uint8_t flag = 0;
  TFlagWindow reaper(flag);
  SetTimer(reaper.Wnd(), 2, 5000);
  std::string line;
  sock.SetLineMode(true);
  sock.OnDataAvailable = [&](TObject*, std::uint16_t) {
    line = sock.ReceiveStr();
    flag = 1;
  };
  sock.SetAddr("127.0.0.1");
  sock.SetPort(peer.Port());
  const int result = sock.WaitUntil(flag, [&] {
    sock.Connect();
    peer.Send("hello\r\n");
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(line, "hello\r\n");
}

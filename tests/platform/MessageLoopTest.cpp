#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/MessageLoop.h"
#include "support/LoopRunner.h"

namespace {

// A window that records every message it receives.
struct Recorder {
  std::vector<TMsg> seen;
  HWND wnd = AllocateHWnd([this](UINT m, WPARAM w, LPARAM l) {
    seen.push_back({wnd, m, w, l});
    return 0;
  });
  ~Recorder() { DestroyWindow(wnd); }
};

TEST(MessageLoop, PostedMessagesArriveInOrderAcrossWindows) {
  Recorder a, b;
  PostMessage(a.wnd, WM_USER + 1, 1, 0);
  PostMessage(b.wnd, WM_USER + 1, 2, 0);
  PostMessage(a.wnd, WM_USER + 2, 3, 0);
  DrainMessages();
  ASSERT_EQ(a.seen.size(), 2u);
  ASSERT_EQ(b.seen.size(), 1u);
  EXPECT_EQ(a.seen[0].wParam, 1u);
  EXPECT_EQ(a.seen[1].wParam, 3u);
  EXPECT_EQ(b.seen[0].wParam, 2u);
}

TEST(MessageLoop, DueTimerWaitsBehindPostedMessages) {
  Recorder r;
  SetTimer(r.wnd, 7, 1);
  // Let the timer fall due while nothing is dispatched.
  RunLoopUntil([] { return false; }, 20);
  r.seen.clear();
  PostMessage(r.wnd, WM_USER, 0, 0);
  PostMessage(r.wnd, WM_USER + 1, 0, 0);
  ASSERT_TRUE(RunLoopUntil([&] { return r.seen.size() >= 3; }));
  EXPECT_EQ(r.seen[0].message, WM_USER);
  EXPECT_EQ(r.seen[1].message, WM_USER + 1);
  EXPECT_EQ(r.seen[2].message, WM_TIMER);
  EXPECT_EQ(r.seen[2].wParam, 7u);
  EXPECT_TRUE(KillTimer(r.wnd, 7));
  EXPECT_FALSE(KillTimer(r.wnd, 7));
}

TEST(MessageLoop, TimerTicksRepeatUntilKilled) {
  Recorder r;
  SetTimer(r.wnd, 1, 10);
  std::uint64_t start = TickCount();
  ASSERT_TRUE(RunLoopUntil([&] { return r.seen.size() >= 3; }, 2000));
  // Three ticks of 10 ms cannot come sooner than 30 ms after the timer was set.
  EXPECT_GE(TickCount() - start, 29u);
  KillTimer(r.wnd, 1);
  r.seen.clear();
  RunLoopUntil([] { return false; }, 40);
  EXPECT_TRUE(r.seen.empty());
}

TEST(MessageLoop, ZeroIntervalTimerTicksAtTheMinimumInsteadOfSpinning) {
  Recorder r;
  SetTimer(r.wnd, 1, 0);
  RunLoopUntil([] { return false; }, 200);
  KillTimer(r.wnd, 1);
  // A timer that is always due would keep the loop out of poll(): thousands of ticks.
  EXPECT_GE(r.seen.size(), 1u);
  EXPECT_LE(r.seen.size(), 25u);
}

TEST(MessageLoop, MessageForDestroyedWindowIsDropped) {
  auto* r = new Recorder;
  Recorder other;
  HWND gone = r->wnd;
  PostMessage(gone, WM_USER, 0, 0);
  PostMessage(other.wnd, WM_USER, 0, 0);
  std::vector<TMsg>* seenOfGone = &r->seen;
  EXPECT_TRUE(DestroyWindow(gone));
  EXPECT_FALSE(IsWindow(gone));
  EXPECT_FALSE(PostMessage(gone, WM_USER, 0, 0)) << "a post to a window that is gone fails";
  size_t before = seenOfGone->size();
  r->wnd = 0;  // the destructor must not touch a reused slot
  DrainMessages();
  EXPECT_EQ(seenOfGone->size(), before);
  EXPECT_EQ(other.seen.size(), 1u);
  delete r;
  EXPECT_EQ(SendMessage(gone, WM_USER, 0, 0), 0);
}

TEST(MessageLoop, WindowMayDestroyItselfInsideItsProcedure) {
  HWND self = 0;
  int calls = 0;
  self = AllocateHWnd([&](UINT, WPARAM, LPARAM) {
    ++calls;
    DestroyWindow(self);
    return 0;
  });
  PostMessage(self, WM_USER, 0, 0);
  PostMessage(self, WM_USER, 0, 0);
  DrainMessages();
  EXPECT_EQ(calls, 1);
}

TEST(MessageLoop, PostFromAnotherThreadWakesBlockedWait) {
  Recorder r;
  std::uint64_t start = TickCount();
  std::thread poster([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    PostMessage(r.wnd, WM_USER + 5, 42, 0);
  });
  // One wait with a long bound: it must return as soon as the post arrives.
  WaitMessage(5000);
  poster.join();
  EXPECT_LT(TickCount() - start, 2000u);
  DrainMessages();
  ASSERT_EQ(r.seen.size(), 1u);
  EXPECT_EQ(r.seen[0].wParam, 42u);
}

TEST(MessageLoop, QuitIsReportedByGetMessageAfterEarlierPosts) {
  Recorder r;
  PostMessage(r.wnd, WM_USER, 0, 0);
  PostQuitMessage(3);
  TMsg msg;
  ASSERT_TRUE(GetMessage(msg));
  DispatchMessage(msg);
  ASSERT_FALSE(GetMessage(msg));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_EQ(r.seen.size(), 1u);
}

TEST(MessageLoop, NestedPumpStopsOnItsConditionAndLeavesQuitToTheOuterLoop) {
  Recorder r;
  PostMessage(r.wnd, WM_USER, 0, 0);
  PostMessage(r.wnd, WM_USER + 1, 0, 0);
  PostMessage(r.wnd, WM_USER + 2, 0, 0);
  EXPECT_TRUE(PumpWhile([&] { return r.seen.size() < 2; }));
  EXPECT_EQ(r.seen.size(), 2u);  // the third message is still queued for the outer loop

  PostQuitMessage(5);
  EXPECT_FALSE(PumpWhile([] { return true; }));
  EXPECT_EQ(r.seen.size(), 3u);
  TMsg msg;
  ASSERT_FALSE(GetMessage(msg));  // the quit, posted again for the outer loop
  EXPECT_EQ(msg.wParam, 5u);
}

}  // namespace

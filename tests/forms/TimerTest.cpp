#include <gtest/gtest.h>

#include <algorithm>

#include "forms/Timer.h"
#include "platform/MessageLoop.h"
#include "support/LoopRunner.h"

namespace {

TEST(Timer, FiresThroughTheLoopAndStopsWhenDisabled) {
  TTimer timer(nullptr);
  EXPECT_EQ(timer.Interval(), 1000u);
  EXPECT_TRUE(timer.Enabled());
  timer.SetEnabled(false);
  timer.SetInterval(15);
  int ticks = 0;
  timer.OnTimer = [&](TObject* sender) {
    EXPECT_EQ(sender, &timer);
    if (++ticks == 3) timer.SetEnabled(false);
  };
  // Disabled: nothing arrives.
  EXPECT_FALSE(RunLoopUntil([&] { return ticks > 0; }, 100));
  timer.SetEnabled(true);
  EXPECT_TRUE(RunLoopUntil([&] { return ticks == 3; }, 2000));
  // Disabled from inside its own handler: no fourth tick.
  RunLoopUntil([] { return false; }, 120);
  EXPECT_EQ(ticks, 3);
}

TEST(Timer, ANewTimerTicksWithItsDefaultsAlone) {
  // Enabled, one second, and nothing changed: the handler alone is enough to get ticks.
  std::uint64_t start = TickCount();
  TTimer timer(nullptr);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) { ++ticks; };
  EXPECT_TRUE(RunLoopUntil([&] { return ticks > 0; }, 5000));
  EXPECT_GE(TickCount() - start, 990u);  // not before its interval
}

TEST(Timer, AnOwnedTimerGoesWithItsOwnerAndTicksNoMore) {
  int ticks = 0;
  auto* owner = new TComponent(nullptr);
  auto* timer = new TTimer(owner);
  timer->SetInterval(10);
  timer->OnTimer = [&](TObject*) { ++ticks; };
  EXPECT_TRUE(RunLoopUntil([&] { return ticks >= 1; }, 1000));
  delete owner;
  int before = ticks;
  RunLoopUntil([] { return false; }, 60);
  EXPECT_EQ(ticks, before);
}

TEST(Timer, AHandlerRunningANestedLoopIsNotEnteredAgain) {
  TTimer timer(nullptr);
  timer.SetInterval(5);
  int depth = 0, deepest = 0, ticks = 0;
  timer.OnTimer = [&](TObject*) {
    ++ticks;
    deepest = std::max(deepest, ++depth);
    if (ticks == 1) RunLoopUntil([] { return false; }, 100);  // like a modal window
    --depth;
  };
  RunLoopUntil([&] { return ticks >= 3; }, 2000);
  EXPECT_GE(ticks, 3);  // it goes on ticking afterwards
  EXPECT_EQ(deepest, 1);
}

TEST(Timer, ZeroIntervalNeverFires) {
  TTimer timer(nullptr);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) { ++ticks; };
  timer.SetInterval(0);
  RunLoopUntil([] { return false; }, 60);
  EXPECT_EQ(ticks, 0);
}

}  // namespace

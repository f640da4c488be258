// The in-memory display: windows, presented pixels, injected input travelling through the
// message loop, the caption drag, and the choice of backend.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "platform/MessageLoop.h"
#include "platform/headless/HeadlessDisplay.h"
#include "support/LoopRunner.h"

namespace {

struct Recorder {
  std::vector<TDisplayEvent> events;
  TDisplayEventHandler Handler() {
    return [this](const TDisplayEvent& e) { events.push_back(e); };
  }
};

TWindowParams Params(const char* title, TRect bounds) {
  TWindowParams p;
  p.Title = title;
  p.Bounds = bounds;
  p.Visible = true;
  return p;
}

}  // namespace

TEST(HeadlessDisplay, PresentedPixelsAreCapturedAndSavedAsPng) {
  THeadlessDisplay display(800, 600, 16);
  EXPECT_EQ(display.ScreenSize(), (TSize{800, 600}));
  EXPECT_EQ(display.ColorDepth(), 16);
  display.SetScreen(640, 480, 8);
  EXPECT_EQ(display.ColorDepth(), 8);
  TDisplayWindow w = display.CreateWindow(Params("Quillet", Bounds(10, 20, 30, 10)), nullptr);
  ASSERT_NE(w, 0u);
  EXPECT_EQ(display.FindWindow("Quillet"), w);
  EXPECT_EQ(display.Bounds(w), Bounds(10, 20, 30, 10));
  TSurface pixels(30, 10, clSilver);
  pixels.SetPixel(29, 9, clLime);
  display.Present(w, pixels, {0, 0, 15, 10});  // the left half only
  TSurface shot;
  ASSERT_TRUE(display.Capture(w, shot));
  EXPECT_EQ(shot.Pixel(14, 5), clSilver);
  EXPECT_NE(shot.Pixel(15, 5), clSilver);
  display.Present(w, pixels);
  ASSERT_TRUE(display.Capture(w, shot));
  EXPECT_EQ(shot.Pixel(29, 9), clLime);
  std::string png = ::testing::TempDir() + "/" + std::to_string(::getpid()) + "_win.png";
  EXPECT_TRUE(display.SaveWindowPng(w, png));
  EXPECT_EQ(::access(png.c_str(), R_OK), 0);
  std::remove(png.c_str());
  display.DestroyWindow(w);
  EXPECT_FALSE(display.Capture(w, shot));
  EXPECT_FALSE(display.SaveWindowPng(w, png));
}

TEST(HeadlessDisplay, MouseGoesToTheTopWindowInClientCoordinatesAndFollowsThePress) {
  THeadlessDisplay display;
  Recorder below, above;
  TDisplayWindow w1 =
      display.CreateWindow(Params("below", Bounds(100, 100, 200, 100)), below.Handler());
  TDisplayWindow w2 =
      display.CreateWindow(Params("above", Bounds(150, 120, 50, 50)), above.Handler());
  display.InjectMouseMove(110, 105);
  display.InjectMouseDown(160, 130);
  display.InjectMouseMove(400, 400);  // outside both, while the button is held
  display.InjectMouseUp(401, 400);
  display.InjectMouseMove(120, 110);
  // Nothing is delivered from inside the injection calls.
  EXPECT_TRUE(below.events.empty() && above.events.empty());
  ASSERT_TRUE(RunLoopUntil([&] { return below.events.size() == 2; }, 2000));
  ASSERT_EQ(above.events.size(), 3u);
  EXPECT_EQ(below.events[0].Kind, TDisplayEventKind::MouseMove);
  EXPECT_EQ(below.events[0].X, 10);
  EXPECT_EQ(below.events[0].Y, 5);
  EXPECT_EQ(above.events[0].Kind, TDisplayEventKind::MouseDown);
  EXPECT_EQ(above.events[0].Window, w2);
  EXPECT_EQ(above.events[0].X, 10);
  EXPECT_EQ(above.events[0].Y, 10);
  EXPECT_EQ(above.events[0].Button, mbLeft);
  EXPECT_EQ(above.events[1].X, 250);  // captured: still the pressed window's coordinates
  EXPECT_EQ(above.events[2].Kind, TDisplayEventKind::MouseUp);
  EXPECT_EQ(below.events[1].Window, w1);  // after the release the pointer is free again
  EXPECT_EQ(display.PointerPos(), (TPoint{120, 110}));
  // A hidden window takes no input.
  display.SetVisible(w2, false);
  display.InjectMouseDown(160, 130);
  display.InjectMouseUp(160, 130);
  ASSERT_TRUE(RunLoopUntil([&] { return below.events.size() == 4; }, 2000));
  EXPECT_EQ(above.events.size(), 3u);
}

TEST(HeadlessDisplay, KeysCharactersAndCloseCarryTheirState) {
  THeadlessDisplay display;
  Recorder r;
  TDisplayWindow w = display.CreateWindow(Params("keys", Bounds(0, 0, 50, 50)), r.Handler());
  display.InjectKey(VK_TAB, true, false, false);
  display.InjectKey(VK_RETURN, false, true, true, w);
  display.InjectChar('a');
  display.InjectClose(w);
  ASSERT_TRUE(RunLoopUntil([&] { return r.events.size() == 4; }, 2000));
  EXPECT_EQ(r.events[0].Kind, TDisplayEventKind::KeyDown);
  EXPECT_EQ(r.events[0].Key, VK_TAB);
  EXPECT_TRUE(r.events[0].Shift);
  EXPECT_FALSE(r.events[0].Ctrl);
  EXPECT_EQ(r.events[1].Key, VK_RETURN);
  EXPECT_TRUE(r.events[1].Ctrl && r.events[1].Alt && !r.events[1].Shift);
  EXPECT_EQ(r.events[2].Kind, TDisplayEventKind::Char);
  EXPECT_EQ(r.events[2].Char, static_cast<unsigned>('a'));
  EXPECT_EQ(r.events[3].Kind, TDisplayEventKind::Close);
  EXPECT_EQ(r.events[3].Window, w);
}

TEST(HeadlessDisplay, EventsForADestroyedWindowAreDropped) {
  THeadlessDisplay display;
  Recorder r;
  TDisplayWindow w = display.CreateWindow(Params("gone", Bounds(0, 0, 50, 50)), r.Handler());
  display.InjectMouseDown(5, 5);
  display.InjectKey('A', false, false, false, w);
  display.DestroyWindow(w);
  DrainMessages();
  EXPECT_TRUE(r.events.empty());
}

TEST(HeadlessDisplay, CaptionDragMovesTheWindowUntilTheButtonIsReleased) {
  THeadlessDisplay display;
  Recorder r;
  TDisplayWindow w = 0;
  bool dragReturned = false;
  w = display.CreateWindow(Params("drag", Bounds(100, 100, 392, 100)), [&](const TDisplayEvent& e) {
    r.events.push_back(e);
    if (e.Kind == TDisplayEventKind::MouseDown) {
      display.DragWindow(w);
      dragReturned = true;
    }
  });
  // Not pressed: returns at once and moves nothing.
  display.DragWindow(w);
  EXPECT_EQ(display.Bounds(w), Bounds(100, 100, 392, 100));
  display.InjectMouseDown(120, 110);
  display.InjectMouseMove(150, 130);
  display.InjectMouseMove(220, 160);
  display.InjectMouseUp(220, 160);
  display.InjectMouseMove(230, 170);
  ASSERT_TRUE(RunLoopUntil([&] { return dragReturned && r.events.size() == 2; }, 2000));
  EXPECT_EQ(display.Bounds(w), Bounds(200, 150, 392, 100));
  // The motion during the drag moved the window and was not delivered.
  EXPECT_EQ(r.events[0].Kind, TDisplayEventKind::MouseDown);
  EXPECT_EQ(r.events[1].Kind, TDisplayEventKind::MouseMove);
  EXPECT_EQ(r.events[1].X, 30);
  EXPECT_EQ(r.events[1].Y, 20);
}

TEST(DisplayChoice, WithoutAReachableDisplayTheBackendIsHeadless) {
  std::unique_ptr<TDisplayBackend> b = CreateDisplayBackend(":65000");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Name(), "headless");
  EXPECT_GT(b->ScreenSize().cx, 0);
  SetDisplay(std::make_unique<THeadlessDisplay>(320, 200, 8));
  EXPECT_EQ(TheDisplay().Name(), "headless");
  EXPECT_EQ(TheDisplay().ColorDepth(), 8);
  SetDisplay(nullptr);
}

TEST(HeadlessDisplay, HidingThePressedWindowFreesThePointerAndEndsItsDrag) {
  // As on an X server, where an unmapped window loses the pointer grab.
  THeadlessDisplay display;
  Recorder below;
  display.CreateWindow(Params("below", Bounds(100, 100, 200, 100)), below.Handler());
  TDisplayWindow top = 0;
  int dragsEnded = 0;
  top = display.CreateWindow(Params("top", Bounds(150, 120, 50, 50)), [&](const TDisplayEvent& e) {
    if (e.Kind != TDisplayEventKind::MouseDown) return;
    display.SetVisible(top, false);
    display.DragWindow(top);  // hidden: cannot be dragged, returns at once
    ++dragsEnded;
  });
  display.InjectMouseDown(160, 130);
  display.InjectMouseUp(161, 131);
  ASSERT_TRUE(RunLoopUntil([&] { return dragsEnded == 1 && !below.events.empty(); }, 2000));
  ASSERT_EQ(below.events.size(), 1u);
  EXPECT_EQ(below.events[0].Kind, TDisplayEventKind::MouseUp);  // the release went below
  EXPECT_EQ(below.events[0].X, 61);
  EXPECT_EQ(display.Bounds(top), Bounds(150, 120, 50, 50));
}

// The X11 backend against a real X server: each test starts its own Xvfb on a free display
// (-displayfd) and drives it with xdotool, as a user would. Skipped when Xvfb or xdotool is
// not installed.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "X11TestClient.h"
#include "platform/MessageLoop.h"
#include "platform/draw/DrawContext.h"
#include "platform/x11/X11Display.h"
#include "support/LoopRunner.h"
#include "support/XvfbServer.h"

namespace {

// A fresh X server of the bench's colour depth for every test, with our display on it.
struct X11Bench : ::testing::Test {
  TXvfbServer server;
  std::unique_ptr<TX11Display> display;
  std::vector<TDisplayEvent> events;

  void SetUp() override {
    if (!OnPath("Xvfb") || !OnPath("xdotool"))
      GTEST_SKIP() << "Xvfb or xdotool is not installed; the X11 backend is not tested";
    ASSERT_TRUE(server.Start(Depth())) << "Xvfb did not report a display";
    display = TX11Display::Open(server.Name());
    ASSERT_NE(display, nullptr);
  }
  virtual int Depth() const { return 24; }

  TDisplayWindow Window(const std::string& title, TRect bounds, TDisplayEventHandler h = {}) {
    TWindowParams p{title, bounds, true};
    if (!h) h = [this](const TDisplayEvent& e) { events.push_back(e); };
    return display->CreateWindow(p, h);
  }

  bool Saw(TDisplayEventKind kind) const {
    for (const TDisplayEvent& e : events)
      if (e.Kind == kind) return true;
    return false;
  }
};

TSurface Swatches(int w, int h, const std::vector<TColor>& colours) {
  TSurface s(w, h, clSilver);
  TDrawContext dc(&s);
  for (std::size_t i = 0; i < colours.size(); ++i) {
    dc.SetBrushColor(colours[i]);
    dc.FillRect(Bounds(static_cast<int>(i) * 20, 0, 20, 20));
  }
  return s;
}

struct X11Bench8 : X11Bench {
  int Depth() const override { return 8; }
};

}  // namespace

TEST_F(X11Bench, BorderlessNamedWindowTakesClicksKeysAndACaptionDrag) {
  EXPECT_EQ(display->ScreenSize(), (TSize{1024, 768}));
  bool dragOnPress = false, dragReturned = false;
  // The end of the drag is sent from a timer, which can only fire inside the drag's own
  // loop: so the motion surely arrives while the drag runs, and timers are seen to tick.
  int ticks = 0;
  pid_t xdo = -1;
  HWND timerWnd = AllocateHWnd([&](UINT msg, WPARAM, LPARAM) -> LRESULT {
    if (msg == WM_TIMER && ticks++ == 0)
      xdo = server.Spawn("xdotool mousemove --sync 220 160 mouseup 1");
    return 0;
  });
  TDisplayWindow w = 0;
  w = Window("Quillet X11 Test", Bounds(100, 100, 392, 100), [&](const TDisplayEvent& e) {
    events.push_back(e);
    if (dragOnPress && e.Kind == TDisplayEventKind::MouseDown) {
      SetTimer(timerWnd, 1, 20);
      display->DragWindow(w);
      KillTimer(timerWnd, 1);
      dragReturned = true;
    }
  });
  ASSERT_NE(w, 0u);
  display->Present(w, Swatches(392, 100, {clLime, 0x004000}));
  const std::string xid = std::to_string(display->NativeWindow(w));

  EXPECT_EQ(server.Run("xdotool search --name '^Quillet X11 Test$'"), xid + "\n");
  std::string geometry = server.Run("xdotool getwindowgeometry " + xid);
  EXPECT_NE(geometry.find("Position: 100,100"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("Geometry: 392x100"), std::string::npos) << geometry;
  // Borderless: the Motif hints ask for no decorations at all.
  EXPECT_NE(server.Run("xprop -id " + xid + " _MOTIF_WM_HINTS").find("0x2, 0x0, 0x0, 0x0, 0x0"),
            std::string::npos);
  TSurface shot;
  ASSERT_TRUE(display->Capture(w, shot));
  EXPECT_EQ(shot.Pixel(5, 5), clLime);
  EXPECT_EQ(shot.Pixel(25, 5), 0x004000u);
  EXPECT_EQ(shot.Pixel(200, 50), clSilver);

  server.Run("xdotool mousemove --sync 150 130 click 1");
  ASSERT_TRUE(RunLoopUntil([&] { return Saw(TDisplayEventKind::MouseUp); }, 5000));
  const TDisplayEvent* press = nullptr;
  for (const TDisplayEvent& e : events)
    if (e.Kind == TDisplayEventKind::MouseDown) press = &e;
  ASSERT_NE(press, nullptr);
  EXPECT_EQ(press->X, 50);
  EXPECT_EQ(press->Y, 30);
  EXPECT_EQ(press->Button, mbLeft);
  EXPECT_EQ(press->Window, w);
  EXPECT_EQ(display->PointerPos(), (TPoint{150, 130}));

  events.clear();
  server.Run("xdotool key shift+Tab Return a");
  ASSERT_TRUE(RunLoopUntil(
      [&] {
        return !events.empty() && events.back().Kind == TDisplayEventKind::KeyUp &&
               events.back().Key == 'A';
      },
      5000));
  std::vector<int> keys;
  std::vector<unsigned> chars;
  bool shiftTab = false;
  for (const TDisplayEvent& e : events) {
    if (e.Kind == TDisplayEventKind::KeyDown) keys.push_back(e.Key);
    if (e.Kind == TDisplayEventKind::KeyDown && e.Key == VK_TAB) shiftTab = e.Shift;
    if (e.Kind == TDisplayEventKind::Char) chars.push_back(e.Char);
  }
  EXPECT_EQ(keys, (std::vector<int>{VK_SHIFT, VK_TAB, VK_RETURN, 'A'}));
  EXPECT_TRUE(shiftTab);
  EXPECT_EQ(chars, (std::vector<unsigned>{9, 13, 'a'}));

  dragOnPress = true;
  server.Run("xdotool mousemove --sync 120 110 mousedown 1");
  bool done = RunLoopUntil([&] { return dragReturned; }, 10000);
  if (xdo > 0) ::waitpid(xdo, nullptr, 0);
  DestroyWindow(timerWnd);
  ASSERT_TRUE(done);
  EXPECT_GT(ticks, 0);
  EXPECT_EQ(display->Bounds(w), Bounds(200, 150, 392, 100));
  geometry = server.Run("xdotool getwindowgeometry " + xid);
  EXPECT_NE(geometry.find("Position: 200,150"), std::string::npos) << geometry;
  events.clear();
  ASSERT_TRUE(SendCloseRequest(server.Name(), display->NativeWindow(w)));
  ASSERT_TRUE(RunLoopUntil([&] { return Saw(TDisplayEventKind::Close); }, 5000));
  EXPECT_EQ(events.back().Window, w);
  display->DestroyWindow(w);
  EXPECT_EQ(server.Run("xdotool search --name '^Quillet X11 Test$'"), "");
}

TEST_F(X11Bench8, EightBitScreenReportsItsDepthAndShowsExactColours) {
  EXPECT_EQ(display->ColorDepth(), 8);
  EXPECT_NE(server.Run("xdpyinfo").find("PseudoColor"), std::string::npos);
  // The colours of the look, and a few that no fixed palette would hold.
  const std::vector<TColor> colours = {clSilver, 0x004000, clYellow, clLime,   clBlack,
                                       clWhite,  0x000040, 0x008000, 0x123456, 0x654321};
  TSurface pixels = Swatches(220, 40, colours);
  TDrawContext dc(&pixels);
  dc.SetBrushStyle(TBrushStyle::bsClear);
  dc.SetTextColor(0x004000);
  dc.TextOut(4, 22, "Checking your mail...");
  TDisplayWindow w = Window("Quillet 8 bit", Bounds(10, 10, 220, 40));
  display->Present(w, pixels);
  TSurface shot;
  ASSERT_TRUE(display->Capture(w, shot));
  for (std::size_t i = 0; i < colours.size(); ++i)
    EXPECT_EQ(shot.Pixel(static_cast<int>(i) * 20 + 10, 10), colours[i]) << i;
  EXPECT_EQ(shot.Pixel(215, 5), clSilver);
  // Text reaches the screen in its own colour, and with whole pixels only: blended edges
  // would have used up the colormap.
  int textPixels = 0, otherPixels = 0;
  for (int y = 20; y < 40; ++y)
    for (int x = 0; x < 220; ++x) {
      textPixels += shot.Pixel(x, y) == 0x004000u;
      otherPixels += shot.Pixel(x, y) != 0x004000u && shot.Pixel(x, y) != clSilver;
    }
  EXPECT_GT(textPixels, 50);
  EXPECT_EQ(otherPixels, 0);

  // Hidden and shown again, the window is repainted from what was presented.
  DrainMessages();
  events.clear();
  display->SetVisible(w, false);
  display->SetVisible(w, true);
  ASSERT_TRUE(RunLoopUntil([&] { return Saw(TDisplayEventKind::Paint); }, 5000));
  ASSERT_TRUE(display->Capture(w, shot));
  EXPECT_EQ(shot.Pixel(30, 10), 0x004000u);
}

TEST_F(X11Bench, KeypadEditingKeysFollowNumLock) {
  TDisplayWindow w = Window("Quillet keypad", Bounds(10, 10, 100, 40));
  display->Present(w, TSurface(100, 40, clSilver));
  server.Run("xdotool mousemove --sync 50 30 click 1");
  ASSERT_TRUE(RunLoopUntil([&] { return Saw(TDisplayEventKind::MouseUp); }, 5000));
  auto typed = [&](const std::string& keys, std::vector<int>& down, std::vector<unsigned>& chars) {
    events.clear();
    server.Run("xdotool key " + keys + " F5");
    RunLoopUntil(
        [&] {
          return !events.empty() && events.back().Kind == TDisplayEventKind::KeyUp &&
                 events.back().Key == VK_F1 + 4;
        },
        5000);
    for (const TDisplayEvent& e : events) {
      if (e.Kind == TDisplayEventKind::KeyDown) down.push_back(e.Key);
      if (e.Kind == TDisplayEventKind::Char) chars.push_back(e.Char);
    }
  };
  // Without NumLock the keypad moves and deletes like the keys beside it, typing nothing.
  std::vector<int> down;
  std::vector<unsigned> chars;
  typed("KP_Home KP_End KP_Left KP_Right KP_Up KP_Down KP_Delete KP_Insert KP_Prior KP_Next", down,
        chars);
  EXPECT_EQ(down, (std::vector<int>{VK_HOME, VK_END, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_DELETE,
                                    VK_INSERT, VK_PRIOR, VK_NEXT, VK_F1 + 4}));
  EXPECT_TRUE(chars.empty());
  // With NumLock the same key types its digit and moves nothing.
  down.clear();
  typed("Num_Lock KP_Home Num_Lock", down, chars);
  EXPECT_EQ(std::count(down.begin(), down.end(), VK_HOME), 0);
  EXPECT_EQ(chars, (std::vector<unsigned>{'7'}));
}

TEST_F(X11Bench, WindowDestroyedByAnotherClientAsksToCloseAndStaysHarmless) {
  TDisplayWindow w = Window("Quillet doomed", Bounds(10, 10, 100, 40));
  TDisplayWindow other = Window("Quillet other", Bounds(200, 10, 100, 40));
  display->Present(w, TSurface(100, 40, clSilver));
  ASSERT_TRUE(DestroyForeignWindow(server.Name(), display->NativeWindow(w)));
  ASSERT_TRUE(RunLoopUntil([&] { return Saw(TDisplayEventKind::Close); }, 5000));
  EXPECT_EQ(events.back().Window, w);
  // The program may go on using the window until it handles the close: nothing reaches the
  // server for it any more, and a capture says it shows nothing.
  display->SetTitle(w, "Quillet doomed again");
  display->Present(w, TSurface(100, 40, clLime));
  display->SetBounds(w, Bounds(20, 20, 100, 40));
  display->SetVisible(w, false);
  TSurface shot;
  EXPECT_FALSE(display->Capture(w, shot));
  display->Flush();
  EXPECT_EQ(server.Run("xdotool search --name '^Quillet doomed'"), "");
  display->DestroyWindow(w);
  // The other window lives on.
  display->Present(other, TSurface(100, 40, clLime));
  ASSERT_TRUE(display->Capture(other, shot));
  EXPECT_EQ(shot.Pixel(5, 5), clLime);
}

TEST_F(X11Bench, HidingTheWindowEndsItsCaptionDrag) {
  bool dragReturned = false;
  TDisplayWindow w = 0;
  HWND hider = AllocateHWnd([&](UINT msg, WPARAM, LPARAM) -> LRESULT {
    if (msg == WM_TIMER && display->Visible(w)) display->SetVisible(w, false);
    return 0;
  });
  w = Window("Quillet drag", Bounds(100, 100, 200, 60), [&](const TDisplayEvent& e) {
    if (e.Kind != TDisplayEventKind::MouseDown) return;
    SetTimer(hider, 1, 50);
    display->DragWindow(w);
    KillTimer(hider, 1);
    dragReturned = true;
  });
  display->Present(w, TSurface(200, 60, clSilver));
  server.Run("xdotool mousemove --sync 120 110 mousedown 1");
  // The button stays down: only hiding the window can end the drag. A reaper quits the loop
  // should the drag never end.
  bool reaped = false;
  HWND reaper = AllocateHWnd([&](UINT msg, WPARAM, LPARAM) -> LRESULT {
    if (msg == WM_TIMER && !reaped) {
      reaped = true;
      PostQuitMessage(0);
    }
    return 0;
  });
  SetTimer(reaper, 1, 8000);
  const bool done = RunLoopUntil([&] { return dragReturned; }, 10000);
  // A hidden window cannot take the pointer grab, so no release would end a drag of it:
  // with the button still down, a drag asked for now does not start.
  bool again = false;
  EXPECT_FALSE(display->Visible(w));
  HWND starter = AllocateHWnd([&](UINT msg, WPARAM, LPARAM) -> LRESULT {
    if (msg != WM_USER) return 0;
    display->DragWindow(w);
    again = true;
    return 0;
  });
  PostMessage(starter, WM_USER, 0, 0);
  EXPECT_TRUE(RunLoopUntil([&] { return again; }, 10000));
  DestroyWindow(starter);
  KillTimer(reaper, 1);
  DestroyWindow(reaper);
  DestroyWindow(hider);
  server.Run("xdotool mouseup 1");
  EXPECT_TRUE(done);
  EXPECT_FALSE(reaped);
}

TEST_F(X11Bench, LostConnectionEndsTheLoopInsteadOfTheProcess) {
  TDisplayWindow w = Window("Quillet lost", Bounds(10, 10, 100, 40));
  display->Present(w, TSurface(100, 40, clSilver));
  const std::string xid = std::to_string(display->NativeWindow(w));
  // xdotool's windowkill makes the server close our connection, as when the server ends.
  server.Run("xdotool windowkill " + xid);
  bool quit = false;
  const std::uint64_t deadline = TickCount() + 5000;
  for (TMsg msg; !quit && TickCount() < deadline;) {
    if (!PeekMessage(msg))
      WaitMessage(static_cast<int>(deadline - std::min(deadline, TickCount())));
    else if (msg.message == WM_QUIT)
      quit = true;
    else
      DispatchMessage(msg);
  }
  ASSERT_TRUE(quit);
  // The dead connection is no longer watched: the loop sleeps instead of waking for it.
  DrainMessages();
  const std::uint64_t start = TickCount();
  WaitMessage(300);
  EXPECT_GE(TickCount() - start, 250u);
  // Every call still answers, without reaching for the server.
  display->Present(w, TSurface(100, 40, clLime));
  display->SetTitle(w, "gone");
  display->SetVisible(w, false);
  TSurface shot;
  EXPECT_FALSE(display->Capture(w, shot));
  EXPECT_EQ(display->CreateWindow({"Quillet late", Bounds(0, 0, 10, 10), true}, {}), 0u);
  display->SetClipboardText("text");
  std::string text;
  EXPECT_FALSE(display->GetClipboardText(text));
  display->DragWindow(w);
  display->PointerPos();
  display->Flush();
  display->DestroyWindow(w);
  display.reset();
}

TEST_F(X11Bench, ConnectionFoundBrokenOnlyWhileClosingLeavesNoQuitBehind) {
  DrainMessages();
  TDisplayWindow w = Window("Quillet closing", Bounds(10, 10, 100, 40));
  display->Present(w, TSurface(100, 40, clSilver));
  server.Run("xdotool windowkill " + std::to_string(display->NativeWindow(w)));
  // Nobody has read from the connection since: closing the display is what meets the break.
  display.reset();
  TMsg msg;
  bool quit = false;
  while (PeekMessage(msg)) quit |= msg.message == WM_QUIT;
  EXPECT_FALSE(quit);
}

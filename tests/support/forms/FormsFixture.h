#pragma once
// A headless screen for each test, with helpers that click and type the way a user would:
// input is injected in screen coordinates and travels through the message loop.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/Timer.h"
#include "platform/display/DisplayBackend.h"
#include "platform/headless/HeadlessDisplay.h"
#include "support/LoopRunner.h"

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  THeadlessDisplay& Screen() { return *FScreen; }
  // Press and release the left button over (x, y) of control.
  void Click(TControl* control, int x = 3, int y = 3);
  void Press(TControl* control, int x, int y);
  void Release(TControl* control, int x, int y);
  void MoveTo(TControl* control, int x, int y);
  void Key(int vk, bool shift = false, bool ctrl = false);
  void Type(const std::string& text);
  // Runs `step` every 10 ms from the loop (so it can drive a modal window) until it
  // returns true; a reaper ends it after timeoutMs.
  std::unique_ptr<TTimer> Driver(std::function<bool()> step, int timeoutMs = 4000);

 private:
  THeadlessDisplay* FScreen = nullptr;
};

// Runs the loop until done() or the time is up.
inline bool Pump(const std::function<bool()>& done, int timeoutMs = 3000) {
  return RunLoopUntil(done, timeoutMs);
}

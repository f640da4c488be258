#pragma once
// One window on the headless screen for the skinned controls' tests, with controls made
// in place and their pixels read back in their own coordinates.

#include <memory>

#include "forms/Form.h"
#include "support/forms/FormsFixture.h"

class UiTest : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 400, 240);
    form->SetColor(clSilver);
    form->Font()->SetColor(0x004000);
  }
  void TearDown() override {
    form.reset();
    FormsTest::TearDown();
  }

  template <class T>
  T* Make(TWinControl* parent, int left, int top, int width, int height) {
    auto* control = new T(form.get());
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
  }
  // What the window shows at (x, y) of control.
  TColor At(const TControl* control, int x, int y) const {
    TPoint o = control->WindowOffset();
    return form->Surface().Pixel(o.X + x, o.Y + y);
  }
  // Runs the loop until a 10 ms timer of the test's own has ticked n times: for checks that
  // something does not happen while timers run.
  void RunTicks(int n) {
    int ticks = 0;
    TTimer probe(nullptr);
    probe.SetInterval(10);
    probe.OnTimer = [&](TObject*) { ++ticks; };
    ASSERT_TRUE(Pump([&] { return ticks >= n; }));
  }

  std::unique_ptr<TForm> form;
};

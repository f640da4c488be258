#pragma once
// One window on the headless screen for the skinned controls' tests, with controls made
// in place and their pixels read back in their own coordinates.

#include <memory>

#include "forms/Bitmap.h"
#include "forms/Form.h"
#include "support/forms/FormsFixture.h"

constexpr TColor kDarkGreen = 0x004000;

// A control that counts its paints.
template <class T>
class TCounted : public T {
 public:
  using T::T;
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    T::Paint();
  }
};

// Every pixel tells where it came from: red is the column, green the row.
inline std::unique_ptr<TBitmap> Gradient(int w, int h) {
  auto b = std::make_unique<TBitmap>(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b->Canvas()->SetPixel(x, y, RGB(x, y, 7));
  return b;
}

inline std::unique_ptr<TBitmap> Solid(int w, int h, TColor colour) {
  auto b = std::make_unique<TBitmap>(w, h);
  b->Canvas()->Brush()->SetColor(colour);
  b->Canvas()->FillRect({0, 0, w, h});
  return b;
}

class UiTest : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 400, 240);
    form->SetColor(clSilver);
    form->Font()->SetColor(kDarkGreen);
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
  int Count(const TControl* c, TColor colour) const {
    int n = 0;
    for (int y = 0; y < c->Height(); ++y)
      for (int x = 0; x < c->Width(); ++x) n += At(c, x, y) == ColorToRGB(colour);
    return n;
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

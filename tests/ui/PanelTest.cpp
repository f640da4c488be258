#include <climits>
#include <functional>
#include <vector>

#include "UiTest.h"
#include "forms/Label.h"
#include "platform/MessageLoop.h"
#include "ui/QnGroupBox.h"

namespace {

constexpr TColor kDark = 0x004000;

class TCountedPanel : public TQnGroupBox {
 public:
  using TQnGroupBox::TQnGroupBox;
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    TQnGroupBox::Paint();
  }
};

class Panel : public UiTest {
 protected:
  TQnGroupBox* Shown(TBrdStyle style, int radius, int w = 40, int h = 20) {
    auto* panel = Make<TQnGroupBox>(form.get(), 10, 10, w, h);
    panel->SetColor(clYellow);
    panel->SetBrdStyle(style);
    panel->SetRadiusTL(radius);
    panel->SetRadiusTR(radius);
    panel->SetRadiusBL(radius);
    panel->SetRadiusBR(radius);
    form->Show();
    return panel;
  }
};

TEST_F(Panel, FrameLinesOfBothStylesAndSquareCornersAtRadiusZero) {
  struct Probe {
    TBrdStyle style;
    int radius, x, y;
    TColor expected;
  } probes[] = {
      {brdSingle, 2, 39, 10, kDark},    {brdSingle, 2, 38, 10, clYellow},
      {brdSingle, 2, 20, 19, kDark},    {brdSingle, 2, 0, 0, clYellow},  // cut corner
      {brdSingle, 0, 0, 0, kDark},      {brdSingle, 0, 39, 19, kDark},
      {brdNormal, 2, 38, 10, kDark},    {brdNormal, 2, 39, 10, clWhite},
      {brdNormal, 2, 20, 18, kDark},    {brdNormal, 2, 20, 19, clWhite},
      {brdNormal, 2, 0, 10, kDark},     {brdNormal, 2, 1, 10, clWhite},
      {brdNormal, 2, 20, 0, kDark},     {brdNormal, 2, 20, 1, clWhite},
      {brdNormal, 2, 37, 10, clYellow}, {brdNormal, 0, 0, 0, kDark},
      {brdNormal, 0, 38, 18, kDark},
  };
  for (const Probe& p : probes) {
    TQnGroupBox* panel = Shown(p.style, p.radius);
    EXPECT_EQ(At(panel, p.x, p.y), p.expected)
        << "style " << int(p.style) << " radius " << p.radius << " at " << p.x << "," << p.y;
    delete panel;
  }
}

TEST_F(Panel, RadiiFarLargerThanTheSidesDrawWithoutStallingOrOverflowing) {
  // The edges between the corners run backwards across whole sides, and the corner boxes
  // lie far outside: what shows is a plain rectangular outline.
  std::uint64_t start = TickCount();
  TQnGroupBox* panel = Shown(brdSingle, INT_MAX, 30, 20);
  EXPECT_LT(TickCount() - start, 2000u);
  for (int x = 0; x < 30; ++x) {
    EXPECT_EQ(At(panel, x, 0), kDark) << x;
    EXPECT_EQ(At(panel, x, 19), kDark) << x;
  }
  for (int y = 0; y < 20; ++y) {
    EXPECT_EQ(At(panel, 0, y), kDark) << y;
    EXPECT_EQ(At(panel, 29, y), kDark) << y;
  }
  EXPECT_EQ(At(panel, 15, 10), clYellow);
}

TEST_F(Panel, EverySetterRepaintsAtOnceEvenWithTheValueItHas) {
  auto* panel = Make<TCountedPanel>(form.get(), 10, 10, 40, 20);
  EXPECT_EQ(panel->Color(), clSilver);
  EXPECT_EQ(panel->BrdColor(), kDark);
  EXPECT_EQ(panel->BrdStyle(), brdNormal);
  EXPECT_EQ(panel->RadiusTL() + panel->RadiusTR() + panel->RadiusBL() + panel->RadiusBR(), 8);
  form->Show();
  std::vector<std::function<void()>> setters = {
      [&] { panel->SetColor(panel->Color()); },
      [&] { panel->SetBrdColor(panel->BrdColor()); },
      [&] { panel->SetBrdStyle(panel->BrdStyle()); },
      [&] { panel->SetRadiusTL(2); },
      [&] { panel->SetRadiusTR(2); },
      [&] { panel->SetRadiusBL(2); },
      [&] { panel->SetRadiusBR(2); },
      [&] { panel->SetColor(clLime); },
  };
  for (std::size_t i = 0; i < setters.size(); ++i) {
    int before = panel->Paints;
    setters[i]();
    EXPECT_EQ(panel->Paints, before + 1) << "setter " << i;
  }
  EXPECT_EQ(At(panel, 20, 10), clLime);
}

TEST_F(Panel, ChildrenAreClippedAndFollowTheWindowsColourNotTheFill) {
  auto* outer = Make<TQnGroupBox>(form.get(), 10, 10, 60, 40);
  outer->SetColor(clYellow);
  auto* inner = Make<TQnGroupBox>(outer, 30, 10, 60, 60);  // reaches past outer's edges
  inner->SetColor(clLime);
  auto* label = Make<TLabel>(outer, 4, 4, 20, 14);
  form->Show();
  EXPECT_EQ(label->Color(), clSilver);
  EXPECT_EQ(At(label, 10, 5), clSilver);
  EXPECT_EQ(At(outer, 10, 30), clYellow);
  EXPECT_EQ(At(inner, 10, 10), clLime);
  EXPECT_EQ(At(outer, 62, 20), clSilver);  // beyond outer: the window, not the inner panel
  form->SetColor(clWhite);
  DrainMessages();
  EXPECT_EQ(At(label, 10, 5), clWhite);
  EXPECT_EQ(outer->Color(), clYellow);
}

}  // namespace

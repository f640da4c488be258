#include <climits>

#include "UiTest.h"
#include "forms/Label.h"
#include "platform/MessageLoop.h"
#include "ui/QnGroupBox.h"

namespace {

class Panel : public UiTest {
 protected:
  TQnGroupBox* Shown(TBrdStyle style, int radius, int w = 40, int h = 20) {
    auto* panel = Make<TQnGroupBox>(form.get(), 10, 10, w, h);
    panel->SetColor(clYellow);
    panel->SetBrdStyle(style);
    for (auto set : {&TQnGroupBox::SetRadiusTL, &TQnGroupBox::SetRadiusTR,
                     &TQnGroupBox::SetRadiusBL, &TQnGroupBox::SetRadiusBR})
      (panel->*set)(radius);
    form->Show();
    return panel;
  }
};

TEST_F(Panel, FrameLinesOfBothStylesAndSquareCornersAtRadiusZero) {
  struct {
    TBrdStyle style;
    int radius, x, y;
    TColor expected;
  } probes[] = {
      {brdSingle, 2, 39, 10, kDarkGreen}, {brdSingle, 2, 38, 10, clYellow},
      {brdSingle, 2, 20, 19, kDarkGreen}, {brdSingle, 2, 0, 0, clYellow},  // cut corner
      {brdSingle, 0, 0, 0, kDarkGreen},   {brdSingle, 0, 39, 19, kDarkGreen},
      {brdNormal, 2, 38, 10, kDarkGreen}, {brdNormal, 2, 39, 10, clWhite},
      {brdNormal, 2, 20, 18, kDarkGreen}, {brdNormal, 2, 20, 19, clWhite},
      {brdNormal, 2, 0, 10, kDarkGreen},  {brdNormal, 2, 1, 10, clWhite},
      {brdNormal, 2, 37, 10, clYellow},   {brdNormal, 0, 0, 0, kDarkGreen},
  };
  for (const auto& p : probes) {
    TQnGroupBox* panel = Shown(p.style, p.radius);
    EXPECT_EQ(At(panel, p.x, p.y), p.expected) << &p - probes;
    delete panel;
  }
}

TEST_F(Panel, RadiiFarLargerThanTheSidesDrawWithoutStallingOrOverflowing) {
  // The edges between the corners run backwards across whole sides, and the corner boxes
  // lie far outside: what shows is a plain rectangular outline.
  std::uint64_t start = TickCount();
  TQnGroupBox* panel = Shown(brdSingle, INT_MAX, 30, 20);
  EXPECT_LT(TickCount() - start, 2000u);
  EXPECT_EQ(Count(panel, kDarkGreen), 2 * 30 + 2 * 18);
  EXPECT_EQ(At(panel, 0, 0), kDarkGreen);
  EXPECT_EQ(At(panel, 29, 19), kDarkGreen);
}

TEST_F(Panel, EverySetterRepaintsAtOnceEvenWithTheValueItHas) {
  auto* panel = Make<TCounted<TQnGroupBox>>(form.get(), 10, 10, 40, 20);
  EXPECT_EQ(panel->Color(), clSilver);
  EXPECT_EQ(panel->BrdColor(), kDarkGreen);
  EXPECT_EQ(panel->BrdStyle(), brdNormal);
  EXPECT_EQ(panel->RadiusTL() + panel->RadiusTR() + panel->RadiusBL() + panel->RadiusBR(), 8);
  form->Show();
  int paints = panel->Paints;
  panel->SetColor(clSilver);
  panel->SetBrdColor(kDarkGreen);
  panel->SetBrdStyle(brdNormal);
  for (auto set : {&TQnGroupBox::SetRadiusTL, &TQnGroupBox::SetRadiusTR, &TQnGroupBox::SetRadiusBL,
                   &TQnGroupBox::SetRadiusBR})
    (panel->*set)(2);
  EXPECT_EQ(panel->Paints, paints + 7);
}

TEST_F(Panel, ChildrenAreClippedAndFollowTheWindowsColourNotTheFill) {
  auto* outer = Make<TQnGroupBox>(form.get(), 10, 10, 60, 40);
  outer->SetColor(clYellow);
  auto* inner = Make<TQnGroupBox>(outer, 30, 10, 60, 60);  // reaches past outer's edges
  inner->SetColor(clLime);
  auto* label = Make<TLabel>(outer, 4, 4, 20, 14);
  form->Show();
  EXPECT_EQ(At(label, 10, 5), clSilver);
  EXPECT_EQ(At(inner, 10, 10), clLime);
  EXPECT_EQ(At(outer, 62, 20), clSilver);  // beyond outer: the window, not the inner panel
  form->SetColor(clWhite);
  DrainMessages();
  EXPECT_EQ(At(label, 10, 5), clWhite);
  EXPECT_EQ(At(outer, 10, 30), clYellow);
}

}  // namespace

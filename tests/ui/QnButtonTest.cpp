#include "UiTest.h"
#include "platform/MessageLoop.h"
#include "ui/QnButton.h"
#include "ui/QnGroupBox.h"

namespace {

// A button bar as the settings window has it: two 158 x 31 buttons whose inner corners are
// square, one pixel apart.
class HoverButton : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    bar = Make<TQnGroupBox>(form.get(), 10, 10, 322, 36);
    save = Pair(2, "Save");
    cancel = Pair(161, "Cancel");
    form->Show();
  }
  TQnButton* Pair(int left, const char* caption) {
    auto* b = Make<TCounted<TQnButton>>(bar, left, 2, 158, 31);
    b->SetCaption(caption);
    const bool first = left == 2;
    b->SetRadiusTL(first ? 2 : 0);
    b->SetRadiusBL(first ? 2 : 0);
    b->SetRadiusTR(first ? 0 : 2);
    b->SetRadiusBR(first ? 0 : 2);
    b->OnClick = [this, b](TObject*) { clicked.push_back(b); };
    return b;
  }
  void Hover(TControl* c, int x, int y) {
    MoveTo(c, x, y);
    DrainMessages();
  }

  TQnGroupBox* bar;
  TQnButton* save;
  TQnButton* cancel;
  std::vector<TQnButton*> clicked;
};

TEST_F(HoverButton, InactiveAndActiveLooksInsideCornersThatKeepBackColor) {
  cancel->SetBackColor(clWhite);
  EXPECT_EQ(At(save, 0, 0), clSilver);
  EXPECT_EQ(At(cancel, 157, 0), clWhite);
  EXPECT_EQ(At(save, 0, 15), clBlack);
  EXPECT_EQ(At(save, 157, 0), clBlack);  // the square inner corner
  EXPECT_EQ(At(save, 5, 15), kDarkGreen);
  EXPECT_GT(Count(save, clYellow), 0);  // the caption
  for (int y = 2; y < 33; ++y) EXPECT_EQ(At(bar, 160, y), clSilver) << y;

  Hover(save, 20, 10);
  ASSERT_TRUE(save->Active());
  EXPECT_EQ(At(save, 5, 15), clLime);
  EXPECT_EQ(At(save, 0, 0), clSilver);
  EXPECT_EQ(At(save, 0, 15), clBlack);
  EXPECT_EQ(Count(save, clYellow), 0);
  EXPECT_GT(Count(save, kDarkGreen), 0);
  EXPECT_EQ(At(cancel, 5, 15), kDarkGreen);
}

TEST_F(HoverButton, CaptionIsPlainTextPlacedByAlignmentAndCutByTheEdges) {
  const std::string wide = "Delete & continue scanning";
  TBitmap ref(400, 31);
  TCanvas* rc = ref.Canvas();
  rc->SetFont(save->Font());
  const int tw = rc->TextWidth(wide), th = rc->TextHeight(wide);
  struct {
    TAlignment alignment;
    int width, height;
    std::string caption;
    int left;  // where the text starts, in the button
  } cases[] = {
      {taLeftJustify, 100, 31, "Save", 15},
      {taRightJustify, 100, 30, "Save", 100 - rc->TextWidth("Save") - 15},
      // 11 pixels too narrow: -5.5 is halved toward zero, so 5 pixels are cut on the left.
      {taCenter, tw - 11, 31, wide, -5},
  };
  cancel->SetVisible(false);
  for (const auto& c : cases) {
    save->SetBounds(2, 2, c.width, c.height);
    save->SetAlignment(c.alignment);
    save->SetCaption(c.caption);
    save->SetRadiusTL(0);
    save->SetRadiusBL(0);
    // The same text drawn with TextOut 200 pixels in: no prefix handling, the "&" shows.
    rc->Brush()->SetColor(kDarkGreen);
    rc->FillRect({0, 0, 400, 31});
    rc->Brush()->SetStyle(TBrushStyle::bsClear);
    rc->Font()->SetColor(clYellow);
    rc->TextOut(200, (c.height - th) / 2, c.caption);
    int mismatches = 0;
    for (int y = 1; y < c.height - 1; ++y)
      for (int x = 1; x < c.width - 1; ++x)
        mismatches += At(save, x, y) != ref.Surface().Pixel(x - c.left + 200, y);
    EXPECT_EQ(mismatches, 0) << c.caption << " aligned " << int(c.alignment);
  }
}

TEST_F(HoverButton, ActiveOnlyStrictlyInsideUntilTheFirstTickOutside) {
  Hover(save, 0, 10);
  EXPECT_FALSE(save->Active());
  Hover(save, 10, 0);
  EXPECT_FALSE(save->Active());
  Hover(save, 1, 1);
  EXPECT_TRUE(save->Active());
  RunTicks(3);  // the pointer stands still inside
  EXPECT_TRUE(save->Active());
  // Straight onto the neighbour: it lights up at once, the first one at its next tick.
  Hover(cancel, 10, 10);
  EXPECT_TRUE(cancel->Active());
  ASSERT_TRUE(Pump([&] { return !save->Active(); }, 1000));
  EXPECT_TRUE(cancel->Active());
  Hover(bar, 100, 34);
  ASSERT_TRUE(Pump([&] { return !cancel->Active(); }, 1000));
}

TEST_F(HoverButton, LeavingIsMeasuredAgainstTheRectangleOfTheLastMovement) {
  Hover(save, 20, 10);
  ASSERT_TRUE(save->Active());
  TPoint pointer = save->ClientToScreen({20, 10});
  form->SetLeft(form->Left() + 300);  // the window moves away under the still pointer
  RunTicks(3);
  EXPECT_TRUE(save->Active());
  Screen().InjectMouseMove(pointer.X + 100, pointer.Y);  // still in the old rectangle
  RunTicks(3);
  EXPECT_TRUE(save->Active());
  Screen().InjectMouseMove(pointer.X, pointer.Y + 30);
  ASSERT_TRUE(Pump([&] { return !save->Active(); }, 1000));
}

TEST_F(HoverButton, EnterAndEscapeReachAButtonInNestedPanels) {
  save->SetParent(Make<TQnGroupBox>(bar, 0, 0, 322, 36));  // one panel deeper
  int passed = 0;
  form->OnKeyDown = [&](TObject*, WORD&, TShiftState) { ++passed; };
  struct {
    bool isDefault, isCancel, enabled;
    int key;
    bool shift, ctrl, alt;
    bool clicks, passesOn;
  } cases[] = {
      {true, false, true, VK_RETURN, false, false, false, true, false},
      {true, false, true, VK_ESCAPE, false, false, false, false, true},
      {false, true, true, VK_ESCAPE, false, false, false, true, false},
      {false, true, true, VK_RETURN, false, false, false, false, true},
      {true, true, true, VK_RETURN, false, false, false, true, false},
      {true, true, true, VK_ESCAPE, false, false, false, true, false},
      {true, false, false, VK_RETURN, false, false, false, false, false},  // swallowed
      {true, false, true, VK_RETURN, true, false, false, false, true},
      {true, false, true, VK_RETURN, false, true, false, false, true},
      {false, true, true, VK_ESCAPE, false, false, true, false, true},
  };
  for (const auto& c : cases) {
    save->SetDefault(c.isDefault);
    save->SetCancel(c.isCancel);
    save->SetEnabled(c.enabled);
    clicked.clear();
    passed = 0;
    Screen().InjectKey(c.key, c.shift, c.ctrl, c.alt);
    DrainMessages();
    EXPECT_EQ(clicked.size(), c.clicks ? 1u : 0u) << &c - cases;
    EXPECT_EQ(passed, c.passesOn ? 1 : 0) << &c - cases;
  }
}

TEST_F(HoverButton, DefaultAndCancelNeverRepaintWhileEveryOtherSetterDoes) {
  auto* b = static_cast<TCounted<TQnButton>*>(save);
  DrainMessages();
  int paints = b->Paints;
  b->SetDefault(true);
  b->SetCancel(true);
  DrainMessages();
  EXPECT_EQ(b->Paints, paints);
  b->SetCaption(b->Caption());
  for (auto set : {&TQnButton::SetInactiveColor, &TQnButton::SetActiveColor,
                   &TQnButton::SetInactiveTextColor, &TQnButton::SetActiveTextColor,
                   &TQnButton::SetBackColor, &TQnButton::SetABrdColor, &TQnButton::SetIBrdColor})
    (b->*set)(clBlack);
  for (auto set : {&TQnButton::SetRadiusTL, &TQnButton::SetRadiusTR, &TQnButton::SetRadiusBL,
                   &TQnButton::SetRadiusBR})
    (b->*set)(0);
  b->SetAlignment(taCenter);
  EXPECT_EQ(b->Paints, paints + 13);
}

}  // namespace

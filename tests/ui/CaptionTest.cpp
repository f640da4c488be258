#include "UiTest.h"
#include "forms/Exceptions.h"
#include "platform/MessageLoop.h"
#include "ui/CLabel.h"
#include "ui/IButton.h"
#include "ui/Title.h"

namespace {

// A title strip: the picture, the caption over it and the close button at its end.
class TitleStrip : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    title = Make<TTitle>(form.get(), 1, 1, 383, 23);
    title->Canvas()->Brush()->SetColor(clGreen);
    title->Canvas()->FillRect({0, 0, 383, 23});
    label = Make<TCLabel>(form.get(), 7, 5, 217, 14);
    label->SetAutoSize(false);
    label->SetCaption("Quillet");
    label->Font()->SetColor(clYellow);
    close = Make<TIButton>(form.get(), 363, 3, 19, 19);
    for (TControl* c : {static_cast<TControl*>(title), static_cast<TControl*>(label),
                        static_cast<TControl*>(close)}) {
      c->OnClick = [this, c](TObject*) { events.push_back(c); };
      c->OnMouseDown = [this, c](TObject*, TMouseButton, TShiftState, int, int) {
        events.push_back(c);
      };
    }
    form->Show();
  }

  TTitle* title;
  TCLabel* label;
  TIButton* close;
  std::vector<TControl*> events;
};

TEST_F(TitleStrip, ALeftPressOnTheTitleOrTheCaptionDragsTheWindowWithoutAClick) {
  for (TControl* grip : {static_cast<TControl*>(title), static_cast<TControl*>(label)}) {
    TPoint from = grip->ClientToScreen({60, 3}), window{form->Left(), form->Top()};
    Screen().InjectMouseMove(from.X, from.Y);
    Screen().InjectMouseDown(from.X, from.Y);
    Screen().InjectMouseMove(from.X + 40, from.Y + 30);
    Screen().InjectMouseUp(from.X + 40, from.Y + 30);
    ASSERT_TRUE(Pump([&] { return form->Left() != window.X; }));
    EXPECT_EQ(form->Left(), window.X + 40);
    EXPECT_EQ(form->Top(), window.Y + 30);
    EXPECT_EQ(Screen().Bounds(form->DisplayWindow()).Top, window.Y + 30);
  }
  EXPECT_TRUE(events.empty());
  // Other buttons are not taken; the close button clicks and drags nothing.
  TPoint at = title->ClientToScreen({60, 3});
  Screen().InjectMouseDown(at.X, at.Y, mbRight);
  Screen().InjectMouseUp(at.X, at.Y, mbRight);
  int left = form->Left();
  Click(close, 5, 5);
  DrainMessages();
  EXPECT_EQ(events, (std::vector<TControl*>{title, close, close}));
  EXPECT_EQ(form->Left(), left);
}

TEST_F(TitleStrip, APressOnATitleOwnedByNoWindowFails) {
  auto* orphan = new TTitle(nullptr);
  orphan->SetParent(form.get());
  EXPECT_THROW(orphan->Perform(WM_LBUTTONDOWN, MK_LBUTTON, 0), EInvalidCast);
}

TEST_F(TitleStrip, TheCaptionPaintsOpaqueOrOverTheTitleAndGreyWhenDisabled) {
  EXPECT_GT(Count(label, clSilver), 0);  // its parent's colour around the text
  EXPECT_EQ(Count(label, clGreen), 0);
  EXPECT_GT(Count(label, clYellow), 0);
  label->SetTransparent(true);
  DrainMessages();
  EXPECT_EQ(Count(label, clSilver), 0);
  EXPECT_GT(Count(label, clGreen), 0);
  EXPECT_EQ(Count(label, clGrayText), 0);
  label->SetEnabled(false);
  DrainMessages();
  EXPECT_EQ(Count(label, clYellow), 0);
  EXPECT_GT(Count(label, clGrayText), 0);
}

TEST_F(TitleStrip, ANewCaptionSizesItselfToItsTextKeepingARightAlignedEdge) {
  auto* fresh = Make<TCLabel>(form.get(), 0, 0, 65, 17);
  EXPECT_TRUE(fresh->AutoSize());
  EXPECT_FALSE(fresh->Transparent());
  EXPECT_EQ(fresh->Width(), 65);  // not measured until something changes
  TCanvas measure;
  measure.SetFont(fresh->Font());
  const TSize space = measure.TextExtent(" ");
  fresh->SetCaption("x");
  for (const char* text : {"", "&"}) {  // measured as one space, not as nothing
    fresh->SetCaption(text);
    EXPECT_EQ(fresh->Width(), space.cx) << '"' << text << '"';
    EXPECT_EQ(fresh->Height(), space.cy);
  }
  fresh->SetAlignment(taRightJustify);
  fresh->SetLeft(100);
  const int right = fresh->Left() + fresh->Width();
  fresh->SetCaption("Quillet Settings");
  EXPECT_GT(fresh->Width(), space.cx);
  EXPECT_EQ(fresh->Left() + fresh->Width(), right);
}

}  // namespace

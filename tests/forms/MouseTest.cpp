#include "support/forms/FormsFixture.h"
#include "forms/GraphicControl.h"
#include "forms/GroupBox.h"
#include "platform/MessageLoop.h"

namespace {

class TSpot : public TGraphicControl {
 public:
  explicit TSpot(TComponent* owner) : TGraphicControl(owner) {
    OnMouseMove = [this](TObject*, TShiftState, int x, int y) {
      LastX = x;
      LastY = y;
      ++Moves;
    };
  }
  int LastX = 0, LastY = 0, Moves = 0;
};

// Starts the window's caption drag on a left press, as a title strip does.
class TDragStrip : public TGraphicControl {
 public:
  explicit TDragStrip(TComponent* owner) : TGraphicControl(owner) {}
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_LBUTTONDOWN) {
      SendMessage(GetParentForm(this)->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
      return;
    }
    TGraphicControl::WndProc(m);
  }
};

class Mouse : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 200, 100);
    panel = new TGroupBox(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(10, 10, 150, 80);
    spot = new TSpot(form.get());
    spot->SetParent(panel);
    spot->SetBounds(20, 20, 40, 20);
    spot->OnClick = [this](TObject*) { ++clicks; };
    form->Show();
  }
  void TearDown() override {
    form.reset();
    FormsTest::TearDown();
  }
  std::unique_ptr<TForm> form;
  TGroupBox* panel;
  TSpot* spot;
  int clicks = 0;
};

TEST_F(Mouse, AClickIsAPressAndAReleaseOverTheSameControl) {
  Click(spot, 5, 5);
  DrainMessages();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(spot->LastX, 5);  // in the control's own coordinates, through two parents
  EXPECT_EQ(spot->LastY, 5);
  // Pressed here, released elsewhere: no click.
  Press(spot, 5, 5);
  Release(spot, 100, 5);
  DrainMessages();
  EXPECT_EQ(clicks, 1);
  // Pressed elsewhere, released here: no click either.
  Press(panel, 2, 2);
  Release(spot, 5, 5);
  DrainMessages();
  EXPECT_EQ(clicks, 1);
  // A disabled control gets nothing, nor does one inside a disabled panel.
  spot->SetEnabled(false);
  Click(spot, 5, 5);
  DrainMessages();
  EXPECT_EQ(clicks, 1);
  spot->SetEnabled(true);
  panel->SetEnabled(false);
  Click(spot, 5, 5);
  DrainMessages();
  EXPECT_EQ(clicks, 1);
  panel->SetEnabled(true);
  Click(spot, 5, 5);
  DrainMessages();
  EXPECT_EQ(clicks, 2);
}

TEST_F(Mouse, TheControlUnderThePressHoldsTheMouseUntilRelease) {
  Press(spot, 5, 5);
  MoveTo(spot, -15, 70);  // outside the control and its panel
  DrainMessages();
  EXPECT_EQ(spot->LastX, -15);
  EXPECT_EQ(spot->LastY, 70);
  Release(spot, -15, 70);
  MoveTo(spot, -14, 70);
  DrainMessages();
  EXPECT_EQ(spot->LastX, -15);  // released: moves outside no longer reach it
}

TEST_F(Mouse, APressThatAsksForTheCaptionDragMovesTheWindow) {
  auto* strip = new TDragStrip(form.get());
  strip->SetParent(form.get());
  strip->SetBounds(0, 0, 200, 10);
  int stripClicks = 0;
  strip->OnClick = [&](TObject*) { ++stripClicks; };
  int left = form->Left(), top = form->Top();
  Press(strip, 50, 5);
  Screen().InjectMouseMove(left + 50 + 30, top + 5 + 40);
  Screen().InjectMouseUp(left + 50 + 30, top + 5 + 40);
  DrainMessages();
  EXPECT_EQ(Screen().Bounds(form->DisplayWindow()).Left, left + 30);
  EXPECT_EQ(form->Left(), left + 30);
  EXPECT_EQ(form->Top(), top + 40);
  EXPECT_EQ(stripClicks, 0);
  // The window takes clicks normally afterwards.
  Click(spot, 5, 5);
  DrainMessages();
  EXPECT_EQ(clicks, 1);
}

}  // namespace

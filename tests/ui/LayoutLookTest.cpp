// The built windows at work: the title strip after the creation step at 8 and 24 bits per
// pixel, the keyboard of the settings and warning windows, and the frames and button bars
// as they show on the window.

#include "LayoutFixture.h"
#include "platform/display/DisplayBackend.h"
#include "platform/text/Fonts.h"
#include "ui/CLabel.h"
#include "ui/CreationLook.h"
#include "ui/IButton.h"
#include "ui/QnGroupBox.h"
#include "ui/Title.h"
#include "ui/WindowLayouts.h"

namespace {

using Layouts = const TWindowLayout& (*)();
const Layouts kAllWindows[] = {MainLayout, SetupLayout, WarnLayout};

class BuiltWindow : public LayoutTest {
 protected:
  void Show(const TWindowLayout& layout, int bits = 24) {
    Screen().SetScreen(1024, 768, bits);
    // Screens of 256 colours draw text with whole pixels, as the X11 display does there.
    SetTextSmoothing(bits > 8);
    Build(layout);
    ApplyCreationLook(form.get(), TheDisplay().ColorDepth());
    form->Show();
    DrainMessages();
    called.clear();
  }
  void TearDown() override {
    SetTextSmoothing(true);
    LayoutTest::TearDown();
  }
};

// At 8 bits the strip is plain green with the caption's yellow text on it; at 24 it is the
// title bitmap (red = column, green = row) stretched to the strip's width, and shows through
// the caption label around its text.
TEST_F(BuiltWindow, TitleStripIsPlainGreenAtEightBitsAndTheStretchedBitmapAbove) {
  for (Layouts layout : kAllWindows)
    for (int bits : {8, 24}) {
      Show(layout(), bits);
      SCOPED_TRACE(form->Name() + " at " + std::to_string(bits));
      auto* title = Find<TTitle>("Title");
      auto* caption = Find<TCLabel>("CLabel1");
      TRect text = caption->BoundsRect();
      text.Right = text.Left + caption->Canvas()->TextWidth(caption->Caption());
      const TRect close = Find<TIButton>("IButton2")->BoundsRect();
      int yellow = 0, lastRed = 0;
      for (int x = 0; x < title->Width(); ++x)
        for (int y = 0; y < title->Height(); ++y) {
          const int px = x + title->Left(), py = y + title->Top();
          const TColor c = At(title, x, y);
          if (close.Contains(px, py)) continue;
          const bool onText = text.Contains(px, py);
          yellow += onText && c == clYellow;
          if (bits == 8) {
            ASSERT_TRUE(c == clGreen || (onText && c == clYellow)) << x << "," << y;
          } else if (!onText) {
            ASSERT_EQ(GetGValue(c), y) << x;
            ASSERT_EQ(GetBValue(c), 7) << x;
            ASSERT_GE(GetRValue(c), lastRed) << x;
            lastRed = GetRValue(c);
          }
        }
      EXPECT_GT(yellow, 5);
      EXPECT_EQ(lastRed, bits == 8 ? 0 : 255);
    }
}

TEST_F(BuiltWindow, TabInTheSettingsWindowSkipsThePort) {
  Show(SetupLayout());
  std::vector<std::string> focus;
  for (int i = 0; i < 4; ++i) {
    focus.push_back(form->ActiveControl()->Name());
    Key(VK_TAB);
    DrainMessages();
  }
  EXPECT_EQ(focus, (std::vector<std::string>{"eServ", "eUser", "ePass", "eServ"}));
}

TEST_F(BuiltWindow, EnterAndEscapeReachTheBarButtonsThroughThePanels) {
  const struct {
    Layouts layout;
    std::vector<std::string> clicks;  // for Enter, then Escape
  } cases[] = {
      {SetupLayout, {"QnButton1Click", "QnButton2Click"}},
      {WarnLayout, {"qConClick", "qConClick"}},
  };
  for (const auto& c : cases) {
    Show(c.layout());
    Key(VK_RETURN);
    Key(VK_ESCAPE);
    DrainMessages();
    EXPECT_EQ(called, c.clicks) << form->Name();
  }
}

// Drawn in red, the inner frame shows where it runs: along the outer frame's bottom line in
// the warning window, inside it elsewhere.
TEST_F(BuiltWindow, OnlyTheWarningWindowsInnerFrameReachesTheOuterFramesBottom) {
  for (Layouts layout : kAllWindows) {
    Show(layout());
    auto* outer = Find<TQnGroupBox>("QnGroupBox1");
    Find<TQnGroupBox>("QnGroupBox2")->SetBrdColor(clRed);
    const int bottomLine = outer->Height() - 2, middle = outer->Width() / 2;
    EXPECT_EQ(At(outer, middle, bottomLine), form->Name() == "fWarn" ? clRed : 0x004000)
        << form->Name();
    EXPECT_EQ(At(outer, 0, outer->Height() / 2), 0x004000u) << form->Name();
  }
}

TEST_F(BuiltWindow, TheButtonsOfABarAreOnePixelOfSilverApart) {
  const struct {
    Layouts layout;
    const char* bar;
    int gap, top, bottom;  // the column between the buttons, their rows
  } cases[] = {
      {SetupLayout, "QnGroupBox4", 160, 2, 33},
      {WarnLayout, "QnGroupBox3", 251, 168, 199},
  };
  for (const auto& c : cases) {
    Show(c.layout());
    auto* bar = Find<TQnGroupBox>(c.bar);
    for (int y = c.top; y < c.bottom; ++y) {
      EXPECT_EQ(At(bar, c.gap, y), clSilver) << c.bar << " " << y;
      EXPECT_EQ(At(bar, c.gap - 1, y), clBlack) << c.bar << " " << y;
      EXPECT_EQ(At(bar, c.gap + 1, y), clBlack) << c.bar << " " << y;
    }
  }
}

}  // namespace

#include "forms/Label.h"
#include "support/forms/FormsFixture.h"

namespace {

class Labels : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 100);
    form->SetColor(clSilver);
    form->Font()->SetColor(clBlack);
    form->Show();
  }
  void TearDown() override {
    form.reset();
    FormsTest::TearDown();
  }
  // The label's pixels after painting text with the given settings.
  TSurface Render(const std::string& text, bool prefix = true, TAlignment align = taLeftJustify) {
    TLabel label(nullptr);
    label.SetParent(form.get());
    label.SetBounds(10, 10, 200, 20);
    label.SetShowAccelChar(prefix);
    label.SetAlignment(align);
    label.SetCaption(text);
    label.Repaint();
    TSurface out(200, 20);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 200; ++x) out.SetPixel(x, y, form->Surface().Pixel(10 + x, 10 + y));
    return out;
  }
  static int Inked(const TSurface& s, int fromRow = 0, int toRow = 20) {
    int n = 0;
    for (int y = fromRow; y < toRow; ++y)
      for (int x = 0; x < s.Width(); ++x)
        if (s.Pixel(x, y) != clSilver) ++n;
    return n;
  }
  static int LowestInkedRow(const TSurface& s) {
    for (int y = s.Height() - 1; y >= 0; --y)
      for (int x = 0; x < s.Width(); ++x)
        if (s.Pixel(x, y) != clSilver) return y;
    return -1;
  }
  static bool Same(const TSurface& a, const TSurface& b) {
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x)
        if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
    return true;
  }

  std::unique_ptr<TForm> form;
};

TEST_F(Labels, AnAmpersandUnderlinesTheNextCharacterAndTwoShowOne) {
  TSurface plain = Render("Port");
  TSurface accel = Render("&Port");
  ASSERT_GT(Inked(plain), 0);
  // The same glyphs, plus an underline below them.
  EXPECT_FALSE(Same(plain, accel));
  EXPECT_GT(LowestInkedRow(accel), LowestInkedRow(plain));
  EXPECT_TRUE(Same(Render("Delete & continue", false), Render("Delete && continue")));
  // With prefix handling off the ampersand is drawn.
  EXPECT_GT(Inked(Render("a&b", false)), Inked(Render("ab", false)));
}

TEST_F(Labels, ShownTextIsTheCaptionAsDrawn) {
  const struct {
    std::string caption;
    bool prefix;
    std::string shown;
  } cases[] = {
      {"&Port", true, "Port"}, {"Tom && Jerry", true, "Tom & Jerry"}, {"a&&&b", true, "a&b"},
      {"ends&", true, "ends"}, {"Tom & Jerry", false, "Tom & Jerry"},
  };
  for (const auto& c : cases) {
    TLabel label(nullptr);
    label.SetShowAccelChar(c.prefix);
    label.SetCaption(c.caption);
    EXPECT_EQ(label.ShownText(), c.shown) << c.caption;
  }
}

TEST_F(Labels, OpaqueInTheParentsColourAlignedAndNotAutoSized) {
  TLabel label(nullptr);
  EXPECT_FALSE(label.AutoSize());
  EXPECT_FALSE(label.Transparent());
  label.SetParent(form.get());
  label.SetBounds(0, 50, 130, 14);
  label.SetCaption("Port (default 110):");
  EXPECT_EQ(label.Width(), 130);
  EXPECT_EQ(label.Color(), clSilver);
  TSurface left = Render("Password:");
  TSurface right = Render("Password:", true, taRightJustify);
  auto firstInkedColumn = [](const TSurface& s) {
    for (int x = 0; x < s.Width(); ++x)
      for (int y = 0; y < s.Height(); ++y)
        if (s.Pixel(x, y) != clSilver) return x;
    return -1;
  };
  EXPECT_LT(firstInkedColumn(left), 3);
  EXPECT_GT(firstInkedColumn(right), 100);
  // An opaque label paints over whatever lay beneath it.
  form->SetColor(clWhite);
  label.SetColor(clYellow);
  label.Repaint();
  EXPECT_EQ(form->Surface().Pixel(129, 51), clYellow);
}

TEST_F(Labels, AutoSizeWaitsWhileTheWindowIsBeingBuiltFromALayout) {
  form->BeginLoading();
  auto* label = new TLabel(form.get());
  label->SetParent(form.get());
  label->SetBounds(0, 0, 217, 14);
  label->SetAutoSize(true);
  label->SetCaption("Quillet Settings");
  EXPECT_TRUE(label->Loading());  // through its owner
  EXPECT_EQ(label->Width(), 217);
  form->EndLoading();
  EXPECT_FALSE(label->Loading());
  label->SetCaption("Quillet");
  EXPECT_LT(label->Width(), 217);
  EXPECT_GT(label->Width(), 0);
}

}  // namespace

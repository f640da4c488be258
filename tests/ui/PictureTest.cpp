#include <set>

#include "UiTest.h"
#include "forms/Exceptions.h"
#include "platform/MessageLoop.h"
#include "ui/IButton.h"
#include "ui/Title.h"

namespace {

bool Opaque(const TControl* c) {
  return c->ControlStyle() & csOpaque;
}

class OtherGraphic : public TGraphic {
 public:
  int Width() const override { return 4; }
  int Height() const override { return 4; }
  void Draw(TCanvas*, const TRect&) override {}
  std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<OtherGraphic>(); }
};

using Pictures = UiTest;

TEST_F(Pictures, ATitleStretchesItsBitmapHorizontallyOnlyAndStaysTransparent) {
  auto* title = Make<TTitle>(form.get(), 1, 1, 383, 23);
  title->SetStretch(true);
  title->Picture()->SetGraphic(Gradient(256, 23).get());
  EXPECT_FALSE(Opaque(title));          // narrower than the control, though stretched over it
  for (bool centred : {false, true}) {  // stretch wins over centre
    title->SetCenter(centred);
    form->Show();
    DrainMessages();
    std::set<int> columns;
    for (int x = 0; x < 383; ++x)
      for (int y = 0; y < 23; ++y) {
        TColor c = At(title, x, y);
        ASSERT_EQ(GetGValue(c), y) << x;
        columns.insert(GetRValue(c));
      }
    EXPECT_EQ(columns.size(), 256u);
    EXPECT_EQ(GetRValue(At(title, 0, 0)), 0);
    EXPECT_EQ(GetRValue(At(title, 382, 0)), 255);
  }
}

TEST_F(Pictures, APictureButtonShowsPictureAWhileActiveButSizesByPicture) {
  auto* button = Make<TIButton>(form.get(), 50, 50, 30, 30);
  EXPECT_EQ(TIButton(nullptr).Width(), 105);
  button->SetAutoSize(true);
  EXPECT_EQ(button->Width(), 30);  // nothing to size to yet
  button->Picture()->SetGraphic(Solid(19, 19, clRed).get());
  button->PictureA()->SetGraphic(Gradient(25, 25).get());
  EXPECT_EQ(button->Width(), 19);
  EXPECT_EQ(button->Height(), 19);
  EXPECT_TRUE(Opaque(button));
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  EXPECT_EQ(At(button, 0, 0), clRed);  // at (0, 0), its own size
  EXPECT_EQ(At(button, 18, 18), clRed);
  EXPECT_EQ(At(button, 19, 19), clSilver);

  MoveTo(button, 5, 5);
  DrainMessages();
  ASSERT_TRUE(button->Active());
  EXPECT_EQ(At(button, 18, 18), RGB(18, 18, 7));  // the larger one, cut at the edge
  EXPECT_EQ(At(button, 19, 19), clSilver);
  EXPECT_EQ(button->Width(), 19);
  EXPECT_TRUE(Opaque(button));
  Click(button, 5, 5);
  // Enter, as for the hover button: the picture button shares its key handling.
  button->SetDefault(true);
  Key(VK_RETURN);
  DrainMessages();
  EXPECT_EQ(clicks, 2);
  MoveTo(button, 40, 40);
  ASSERT_TRUE(Pump([&] { return !button->Active(); }, 1000));
  EXPECT_EQ(At(button, 18, 18), clRed);
}

TEST_F(Pictures, TheTitleCanvasDrawsOnItsPictureAndNeedsABitmap) {
  auto* title = Make<TTitle>(form.get(), 1, 1, 383, 23);
  form->Show();
  TCanvas* canvas = title->Canvas();
  EXPECT_EQ(title->Picture()->Width(), 383);
  EXPECT_EQ(title->Picture()->Height(), 23);
  EXPECT_TRUE(Opaque(title));
  canvas->Brush()->SetColor(clGreen);
  canvas->FillRect({0, 0, 383, 23});
  DrainMessages();
  EXPECT_EQ(At(title, 200, 10), clGreen);
  EXPECT_EQ(title->Canvas(), canvas);  // the same bitmap from now on

  OtherGraphic other;
  title->Picture()->SetGraphic(&other);
  try {
    title->Canvas();
    FAIL() << "no error for a picture that holds no bitmap";
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Can only modify an image if it contains a bitmap");
  }
}

}  // namespace

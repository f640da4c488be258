#include "forms/Exceptions.h"
#include "forms/GraphicControl.h"
#include "forms/GroupBox.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "support/forms/FormsFixture.h"

namespace {

// Fills itself with one colour and counts its paints.
class TBlock : public TGraphicControl {
 public:
  TBlock(TComponent* owner, TColor fill) : TGraphicControl(owner), Fill(fill) {}
  TColor Fill;
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    Canvas()->Brush()->SetColor(Fill);
    // Deliberately larger than the control: the canvas must clip to its bounds.
    Canvas()->FillRect({-50, -50, Width() + 50, Height() + 50});
  }
};

class Painting : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 200, 120);
    form->SetColor(clSilver);
  }
  void TearDown() override {
    form.reset();
    FormsTest::TearDown();
  }
  TBlock* Block(TWinControl* parent, TColor fill, TRect r) {
    auto* b = new TBlock(form.get(), fill);
    b->SetParent(parent);
    b->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    return b;
  }
  TColor At(int x, int y) { return form->Surface().Pixel(x, y); }

  std::unique_ptr<TForm> form;
};

TEST_F(Painting, WindowlessControlsPaintInCreationOrderAndWindowedOnesLieAbove) {
  Block(form.get(), clRed, {10, 10, 60, 60});
  Block(form.get(), clBlue, {40, 40, 90, 90});  // later: over the red one
  auto* panel = new TGroupBox(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(80, 20, 60, 60);              // windowed: above both, though created after
  Block(form.get(), clLime, {70, 30, 100, 50});  // created last, still under the panel
  Block(panel, clYellow, {50, 50, 100, 100});    // clipped to the panel
  form->Show();
  EXPECT_EQ(At(20, 20), clRed);
  EXPECT_EQ(At(45, 45), clBlue);
  EXPECT_EQ(At(75, 35), clLime);
  EXPECT_EQ(At(85, 35), clSilver);   // the panel, in its parent's colour
  EXPECT_EQ(At(135, 75), clYellow);  // panel (50, 50) .. its edge
  EXPECT_EQ(At(145, 75), clSilver);  // beyond the panel: clipped away
  EXPECT_EQ(At(135, 85), clSilver);
  // The form's colour under everything else; the frame the block drew outside itself
  // was clipped.
  EXPECT_EQ(At(5, 5), clSilver);
}

TEST_F(Painting, InvalidatePaintsFromTheLoopAndRepaintBeforeReturning) {
  TBlock* b = Block(form.get(), clRed, {0, 0, 20, 20});
  form->Show();
  EXPECT_EQ(At(5, 5), clRed);
  b->Fill = clBlue;
  b->Invalidate();
  EXPECT_EQ(At(5, 5), clRed);  // not yet
  DrainMessages();
  EXPECT_EQ(At(5, 5), clBlue);
  b->Fill = clLime;
  b->Repaint();
  EXPECT_EQ(At(5, 5), clLime);  // on return
  // What was painted is also what the display shows.
  TSurface shown;
  ASSERT_TRUE(Screen().Capture(form->DisplayWindow(), shown));
  EXPECT_EQ(shown.Pixel(5, 5), clLime);
  // A hidden control leaves its parent's colour behind.
  b->SetVisible(false);
  b->Update();
  EXPECT_EQ(At(5, 5), clSilver);
}

TEST_F(Painting, AnOpaqueControlSparesThePaintingBeneathIt) {
  // The panel counts its own paints through a windowless block that fills it.
  auto* under = Block(form.get(), clRed, {0, 0, 200, 120});
  TBlock* cover = Block(form.get(), clBlue, {10, 10, 60, 60});
  TBlock* above = Block(form.get(), clLime, {50, 50, 70, 70});
  form->Show();
  int underPaints = under->Paints, abovePaints = above->Paints;
  cover->SetControlStyle(cover->ControlStyle() | csOpaque);
  cover->Fill = clYellow;
  cover->Repaint();
  EXPECT_EQ(under->Paints, underPaints);      // hidden by the opaque control: skipped
  EXPECT_EQ(above->Paints, abovePaints + 1);  // overlapping it from above: painted
  EXPECT_EQ(At(20, 20), clYellow);
  EXPECT_EQ(At(55, 55), clLime);
  // A transparent one makes everything beneath repaint.
  cover->SetControlStyle(cover->ControlStyle() & ~csOpaque);
  cover->Repaint();
  EXPECT_EQ(under->Paints, underPaints + 1);
}

TEST_F(Painting, AControlCannotBecomeItsOwnAncestor) {
  auto* outer = new TGroupBox(form.get());
  outer->SetParent(form.get());
  auto* inner = new TGroupBox(form.get());
  inner->SetParent(outer);
  EXPECT_THROW(outer->SetParent(inner), EInvalidOperation);
  EXPECT_THROW(outer->SetParent(outer), EInvalidOperation);
  EXPECT_EQ(outer->Parent(), form.get());
  // Moving a control to another parent takes it out of the old one.
  inner->SetParent(form.get());
  EXPECT_EQ(outer->ControlCount(), 0);
  EXPECT_EQ(form->ControlCount(), 2);
}

TEST_F(Painting, FontAndColourFollowTheParentUntilSetOwnOnes) {
  form->Font()->SetName("Verdana");
  form->Font()->SetHeight(-12);
  form->Font()->SetColor(0x004000);
  auto* panel = new TGroupBox(form.get());
  panel->SetParent(form.get());
  auto* label = new TLabel(form.get());
  label->SetParent(panel);
  EXPECT_TRUE(label->ParentFont());
  EXPECT_EQ(label->Font()->Color(), 0x004000u);
  EXPECT_EQ(label->Color(), clSilver);
  form->Font()->SetStyle(fsUnderline);
  form->SetColor(clYellow);
  EXPECT_EQ(label->Font()->Style(), static_cast<TFontStyles>(fsUnderline));
  EXPECT_EQ(label->Color(), clYellow);  // through the panel, which follows the form
  label->Font()->SetColor(0x000040);
  EXPECT_FALSE(label->ParentFont());
  form->Font()->SetHeight(-20);
  EXPECT_EQ(label->Font()->Height(), -12);  // its own font now
  label->SetColor(clWhite);
  form->SetColor(clSilver);
  EXPECT_EQ(label->Color(), clWhite);
}

TEST_F(Painting, AnImageShowsItsPictureAtItsOwnSizeAndAutoSizes) {
  auto* image = new TImage(form.get());
  image->SetParent(form.get());
  image->SetBounds(13, 14, 100, 100);
  TBitmap bmp(34, 39);
  bmp.Canvas()->Brush()->SetColor(clGreen);
  bmp.Canvas()->FillRect({0, 0, 34, 39});
  image->Picture()->SetGraphic(&bmp);
  EXPECT_EQ(image->Width(), 100);  // no auto-size yet
  EXPECT_FALSE(image->ControlStyle() & csOpaque);
  form->Show();
  EXPECT_EQ(At(13, 14), clGreen);
  EXPECT_EQ(At(13 + 33, 14 + 38), clGreen);
  EXPECT_EQ(At(13 + 34, 14), clSilver);  // drawn at its own size, not stretched
  image->SetAutoSize(true);
  EXPECT_EQ(image->Width(), 34);
  EXPECT_EQ(image->Height(), 39);
  EXPECT_TRUE(image->ControlStyle() & csOpaque);
  // Grown past its picture it no longer hides its parent, or the rest would go unpainted.
  image->SetWidth(40);
  EXPECT_FALSE(image->ControlStyle() & csOpaque);
  image->SetWidth(34);
  EXPECT_TRUE(image->ControlStyle() & csOpaque);
  // Drawing on the picture's bitmap changes the picture, and the image shows it.
  image->Picture()->Bitmap()->Canvas()->Brush()->SetColor(clRed);
  image->Picture()->Bitmap()->Canvas()->FillRect({0, 0, 5, 5});
  DrainMessages();
  EXPECT_EQ(At(14, 15), clRed);
}

}  // namespace

// A window built the way the program's windows are: nested panels, a title strip with its
// caption and close button, and a button bar with the pointer over one button. Set
// QUILLET_SHOT_DIR to a folder to get its picture as skinned-window.png.

#include <cstdlib>
#include <filesystem>

#include "UiTest.h"
#include "platform/MessageLoop.h"
#include "ui/CLabel.h"
#include "ui/IButton.h"
#include "ui/QnButton.h"
#include "ui/QnGroupBox.h"
#include "ui/Title.h"

namespace {

using Screenshot = UiTest;

TEST_F(Screenshot, NestedPanelsTitleStripAndAButtonBarWithOneButtonHovered) {
  form->SetBounds(0, 0, 328, 187);
  auto* outer = Make<TQnGroupBox>(form.get(), 2, 1, 326, 184);
  auto* inner = Make<TQnGroupBox>(outer, 2, 2, 322, 180);
  auto* title = Make<TTitle>(inner, 1, 1, 318, 23);
  title->SetStretch(true);
  title->Picture()->SetGraphic(Solid(256, 23, clGreen).get());
  auto* caption = Make<TCLabel>(inner, 7, 5, 217, 14);
  caption->SetAutoSize(false);
  caption->Font()->SetColor(clYellow);
  caption->SetCaption("Quillet Settings");
  caption->SetTransparent(true);
  auto* close = Make<TIButton>(inner, 299, 3, 19, 19);
  close->Picture()->SetGraphic(Solid(19, 19, clWhite).get());
  close->PictureA()->SetGraphic(Solid(19, 19, clLime).get());
  auto* content = Make<TQnGroupBox>(inner, 0, 24, 322, 156);
  auto* bar = Make<TQnGroupBox>(content, 0, 120, 322, 36);
  auto* save = Make<TQnButton>(bar, 2, 2, 158, 31);
  save->SetCaption("Save");
  save->SetRadiusTR(0);
  save->SetRadiusBR(0);
  auto* cancel = Make<TQnButton>(bar, 161, 2, 158, 31);
  cancel->SetCaption("Cancel");
  cancel->SetRadiusTL(0);
  cancel->SetRadiusBL(0);
  form->Show();
  MoveTo(save, 40, 15);
  DrainMessages();
  ASSERT_TRUE(save->Active());

  // Two-pixel insets give the window's edge a double engraved frame.
  const TColor edge[] = {clSilver, clSilver, kDarkGreen, clWhite, kDarkGreen, clWhite, clSilver};
  for (int x = 0; x < 7; ++x) EXPECT_EQ(At(form.get(), x, 90), edge[x]) << x;
  EXPECT_EQ(At(save, 10, 15), clLime);
  EXPECT_EQ(At(cancel, 10, 15), kDarkGreen);
  EXPECT_EQ(At(close, 0, 0), clWhite);
  EXPECT_EQ(At(title, 250, 10), clGreen);

  if (const char* dir = std::getenv("QUILLET_SHOT_DIR")) {
    std::filesystem::create_directories(dir);
    const std::string path = std::string(dir) + "/skinned-window.png";
    EXPECT_TRUE(Screen().SaveWindowPng(form->DisplayWindow(), path));
  }
}

}  // namespace

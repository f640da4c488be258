// The main window: a small status window. Below the title strip, a picture at the left and
// the one-line status text lInfo beside it. Its two components without a look, the POP3
// client Pop3 and the one-second Timer, belong to the window class.

#include "ui/WindowLayouts.h"

namespace {
using enum TControlKind;
using enum TPictureId;

// clang-format off
constexpr TControlRow kControls[] = {
  // Name         Kind           Parent        Left Top   W    H   Text
  {"QnGroupBox1", Panel,         kWindow,        1,  1, 390, 98},
  {"QnGroupBox2", Panel,         "QnGroupBox1",  2,  2, 386, 94},
  {"Title",       TitlePicture,  "QnGroupBox2",  1,  1, 383, 23},
  {"CLabel1",     CaptionLabel,  "QnGroupBox2",  7,  5, 217, 14, "Quillet 1.1"},
  {"IButton2",    PictureButton, "QnGroupBox2", 363, 3,  19, 19},
  {"QnGroupBox3", Panel,         "QnGroupBox2",  0, 24, 386, 70},
  {"lInfo",       StandardLabel, "QnGroupBox3", 59, 26, 312, 16, "..."},
  {"Image",       PictureBox,    "QnGroupBox3", 13, 14,  34, 39, "",
   {.AutoSize = true, .Picture = MainWindow}},
};
// clang-format on
}  // namespace

const TWindowLayout& MainLayout() {
  static constexpr TWindowLayout layout{{.Name = "fMain",
                                         .Caption = "Quillet",
                                         .ClientWidth = 392,
                                         .ClientHeight = 100,
                                         .OnCreate = "FormCreate",
                                         .OnActivate = "FormActivate",
                                         .OnKeyDown = "FormKeyDown"},
                                        kControls};
  return layout;
}

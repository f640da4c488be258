// The settings window: below the title strip, four right-aligned field names, each with its
// edit box to the right (the port's short, on its own line), and at the bottom a bar of two
// buttons whose inner corners are square, so that the pair reads as one bar.

#include "ui/WindowLayouts.h"

namespace {
using enum TControlKind;

// clang-format off
constexpr TControlRow kControls[] = {
  // Name         Kind           Parent        Left Top   W    H   Text
  {"QnGroupBox1", Panel,         kWindow,        2,   1, 326, 184},
  {"QnGroupBox2", Panel,         "QnGroupBox1",  2,   2, 322, 180},
  {"Title",       TitlePicture,  "QnGroupBox2",  1,   1, 318,  23},
  {"CLabel1",     CaptionLabel,  "QnGroupBox2",  7,   5, 217,  14, "Quillet Settings"},
  {"IButton2",    PictureButton, "QnGroupBox2", 299,  3,  19,  19},
  {"QnGroupBox3", Panel,         "QnGroupBox2",  0,  24, 322, 156},
  {"Label1",      StandardLabel, "QnGroupBox3",  7,  16, 100,  14, "POP3 server:",
   {.Alignment = taRightJustify}},
  {"Label2",      StandardLabel, "QnGroupBox3", 109, 41, 130,  14, "Port (default 110):",
   {.Alignment = taRightJustify}},
  {"Label3",      StandardLabel, "QnGroupBox3",  7,  66, 100,  14, "POP3 account:",
   {.Alignment = taRightJustify}},
  {"Label4",      StandardLabel, "QnGroupBox3",  7,  91, 100,  14, "Password:",
   {.Alignment = taRightJustify}},
  {"eServ",       EditBox,       "QnGroupBox3", 112, 12, 195,  22, "", {.TabOrder = 0}},
  {"ePort",       EditBox,       "QnGroupBox3", 244, 37,  63,  22, "110",
   {.TabOrder = 1, .TabStop = false}},
  {"eUser",       EditBox,       "QnGroupBox3", 112, 62, 195,  22, "", {.TabOrder = 2}},
  {"ePass",       EditBox,       "QnGroupBox3", 112, 87, 195,  22, "",
   {.TabOrder = 3, .PasswordChar = '*'}},
  {"QnGroupBox4", Panel,         "QnGroupBox3",  0, 120, 322,  36},
  {"QnButton1",   HoverButton,   "QnGroupBox4",  2,   2, 158,  31, "Save",
   {.Default = true, .Radii = TRadii{.TL = 2, .TR = 0, .BL = 2, .BR = 0},
    .OnClick = "QnButton1Click"}},
  {"QnButton2",   HoverButton,   "QnGroupBox4", 161,  2, 158,  31, "Cancel",
   {.Cancel = true, .Radii = TRadii{.TL = 0, .TR = 2, .BL = 0, .BR = 2},
    .OnClick = "QnButton2Click"}},
};
// clang-format on
}  // namespace

const TWindowLayout& SetupLayout() {
  static constexpr TWindowLayout layout{{.Name = "fSetup",
                                         .Caption = "Quillet Settings",
                                         .ClientWidth = 328,
                                         .ClientHeight = 187,
                                         .OnCreate = "FormCreate"},
                                        kControls};
  return layout;
}

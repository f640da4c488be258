// The warning window: below the title strip, three field names in dark red with their values
// beside them, a results box with an underlined heading and two verdict lines, and at the
// bottom a bar of two buttons. Its inner frame reaches the outer frame's bottom edge.

#include "ui/WindowLayouts.h"

namespace {
using enum TControlKind;

// Left-aligned, in boxes that all end at x = 107, just before the values at x = 110.
constexpr TLayoutFont kFieldName = Verdana(12, 0x000040);

// clang-format off
constexpr TControlRow kControls[] = {
  // Name         Kind           Parent        Left Top   W    H   Text
  {"QnGroupBox1", Panel,         kWindow,        1,   1, 508, 232},
  {"QnGroupBox2", Panel,         "QnGroupBox1",  2,   2, 504, 230},
  {"Title",       TitlePicture,  "QnGroupBox2",  1,   1, 501,  23},
  {"CLabel1",     CaptionLabel,  "QnGroupBox2",  7,   5, 217,  14, "Warning!"},
  {"IButton2",    PictureButton, "QnGroupBox2", 480,  3,  19,  19},
  {"QnGroupBox3", Panel,         "QnGroupBox2",  0,  24, 504, 204},
  {"l1",          StandardLabel, "QnGroupBox3", 63,  14,  44,  14, "From:", {.Font = kFieldName}},
  {"l2",          StandardLabel, "QnGroupBox3", 47,  34,  60,  14, "Subject:", {.Font = kFieldName}},
  {"l3",          StandardLabel, "QnGroupBox3", 16,  54,  91,  14, "Attached file:",
   {.Font = kFieldName}},
  {"lFrom",       StandardLabel, "QnGroupBox3", 110, 14, 385,  14, ""},
  {"lSubj",       StandardLabel, "QnGroupBox3", 110, 34, 385,  14, ""},
  {"lName",       StandardLabel, "QnGroupBox3", 110, 54, 385,  14, ""},
  {"qDel",        HoverButton,   "QnGroupBox3",  3, 168, 248,  31, "Delete & continue scanning",
   {.Radii = TRadii{.TL = 2, .TR = 0, .BL = 2, .BR = 0}, .OnClick = "qDelClick"}},
  {"qCon",        HoverButton,   "QnGroupBox3", 252, 168, 248, 31, "Continue scanning",
   {.Default = true, .Cancel = true, .Radii = TRadii{.TL = 0, .TR = 2, .BL = 0, .BR = 2},
    .OnClick = "qConClick"}},
  {"QnGroupBox4", Panel,         "QnGroupBox3",  0,  83, 504,  83},
  {"Label1",      StandardLabel, "QnGroupBox4", 15,  12, 473,  14, "Checking results",
   {.Font = Verdana(12, 0x000040, fsUnderline)}},
  {"ll1",         StandardLabel, "QnGroupBox4", 15,  32, 473,  14, "..."},
  {"ll2",         StandardLabel, "QnGroupBox4", 15,  52, 473,  14, "..."},
};
// clang-format on
}  // namespace

const TWindowLayout& WarnLayout() {
  static constexpr TWindowLayout layout{{.Name = "fWarn",
                                         .Caption = "Warning!",
                                         .ClientWidth = 509,
                                         .ClientHeight = 235,
                                         .OnCreate = "FormCreate"},
                                        kControls};
  return layout;
}

#pragma once
// A window's look as data: the window's own properties and one row per control, in the
// order the controls are made. A row states what differs from the settings every control
// of its kind shares (LayoutConventions), so it reads like the layout it was drawn up from.
// Everything here is a literal, so the tables are constant and need no start-up code.

#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>

#include "forms/Control.h"
#include "forms/Font.h"
#include "forms/Form.h"
#include "ui/RoundedFrame.h"

// A layout that cannot be built as written, or a window that does not fit its layout (a
// handler it lacks, a control it looks for under the wrong name or type): a mistake in
// the program, never a condition of the run.
class ELayoutError : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

enum class TControlKind {
  Panel,          // TQnGroupBox
  HoverButton,    // TQnButton
  PictureButton,  // TIButton
  TitlePicture,   // TTitle
  CaptionLabel,   // TCLabel
  StandardLabel,  // TLabel
  EditBox,        // TEdit
  PictureBox,     // TImage
};

// The pictures the windows show, supplied by the window that is built.
enum class TPictureId { Title, CloseInactive, CloseActive, MainWindow };

struct TLayoutFont {
  std::string_view Name;
  int Height;  // negative: the character height in pixels
  TColor Color;
  TFontStyles Style;
};

constexpr TLayoutFont Verdana(int pixels, TColor color, TFontStyles style = 0) {
  return {"Verdana", -pixels, color, style};
}

struct TRadii {
  int TL, TR, BL, BR;
};

// Every setting a row may give; an absent one leaves the control as its kind's conventions
// made it. The order lets a row name its settings in the order the layout lists them.
struct TSettings {
  std::optional<TBrdStyle> BrdStyle{};
  std::optional<TColor> Color{};
  std::optional<TColor> BrdColor{};
  std::optional<TColor> InactiveColor{};
  std::optional<TColor> ActiveColor{};
  std::optional<TColor> InactiveTextColor{};
  std::optional<TColor> ActiveTextColor{};
  std::optional<TColor> BackColor{};
  std::optional<TColor> ABrdColor{};
  std::optional<TColor> IBrdColor{};
  std::optional<bool> Transparent{};
  std::optional<bool> ParentColor{};
  std::optional<TAlignment> Alignment{};
  std::optional<bool> Stretch{};
  std::optional<bool> AutoSize{};
  std::optional<bool> WordWrap{};
  std::optional<bool> ShowAccelChar{};
  std::optional<bool> ParentFont{};
  std::optional<TLayoutFont> Font{};  // the control's own font
  std::optional<bool> Default{};
  std::optional<bool> Cancel{};
  std::optional<TRadii> Radii{};
  std::optional<int> TabOrder{};
  std::optional<bool> TabStop{};
  std::optional<char> PasswordChar{};
  std::optional<TPictureId> Picture{};
  std::optional<TPictureId> PictureA{};
  std::string_view OnClick{};  // a handler name the window supplies
};

// The parent named by the outermost controls.
constexpr std::string_view kWindow = "";

// Bounds without defaults for the same reason.
struct TControlRow {
  std::string_view Name;
  TControlKind Kind;
  std::string_view Parent;
  int Left, Top, Width, Height;
  std::string_view Text{};
  TSettings Other{};
};

// Every window of the program is borderless; the defaults are what all of them share. Name,
// caption and size have none, so a table that leaves one out does not compile.
struct TWindowProps {
  std::string_view Name;
  std::string_view Caption;
  int ClientWidth, ClientHeight;
  std::string_view OnCreate{}, OnActivate{}, OnKeyDown{};
  TColor Color = clSilver;
  TLayoutFont Font = Verdana(12, 0x004000);
  int HelpContext = 1;
  TPosition Position = TPosition::poScreenCenter;
};

struct TWindowLayout {
  TWindowProps Form;
  std::span<const TControlRow> Controls;
};

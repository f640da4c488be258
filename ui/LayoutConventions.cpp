#include "ui/LayoutConventions.h"

namespace {
using enum TControlKind;
using enum TPictureId;

// A panel's values after construction, stated here so the windows' look does not hang on
// them.
constexpr TSettings kPanel{
    .BrdStyle = brdNormal, .Color = clSilver, .BrdColor = 0x004000, .Radii = TRadii{2, 2, 2, 2}};

constexpr TSettings kHoverButton{.InactiveColor = 0x004000,
                                 .ActiveColor = clLime,
                                 .InactiveTextColor = clYellow,
                                 .ActiveTextColor = 0x004000,
                                 .BackColor = clSilver,
                                 .ABrdColor = clBlack,
                                 .IBrdColor = clBlack,
                                 .Alignment = taCenter,
                                 .ParentFont = true};

// Opaque in the colour the parent inherited, one line, sized by the layout, "&" marking an
// accelerator.
constexpr TSettings kStandardLabel{.Transparent = false,
                                   .ParentColor = true,
                                   .Alignment = taLeftJustify,
                                   .AutoSize = false,
                                   .WordWrap = false,
                                   .ShowAccelChar = true};

// The title strip's three parts are the same in every window. The caption label starts out
// opaque; the window makes it transparent when it is created.
constexpr TSettings kTitlePicture{.Stretch = true, .Picture = Title};
constexpr TSettings kCaptionLabel{
    .Transparent = false, .AutoSize = false, .Font = Verdana(12, clYellow)};
constexpr TSettings kPictureButton{.Default = false,
                                   .Cancel = false,
                                   .Picture = CloseInactive,
                                   .PictureA = CloseActive,
                                   .OnClick = "IButton2Click"};

// Edit boxes and picture boxes keep the look they are made with: a window-coloured field in
// a sunken border with no length limit, and a picture at its own size.
constexpr TSettings kNone{};
}  // namespace

const TSettings& Convention(TControlKind kind) {
  switch (kind) {
    case Panel:
      return kPanel;
    case HoverButton:
      return kHoverButton;
    case PictureButton:
      return kPictureButton;
    case TitlePicture:
      return kTitlePicture;
    case CaptionLabel:
      return kCaptionLabel;
    case StandardLabel:
      return kStandardLabel;
    case EditBox:
    case PictureBox:
      break;
  }
  return kNone;
}

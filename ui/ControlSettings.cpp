#include "ui/ControlSettings.h"

#include "forms/Edit.h"
#include "ui/CLabel.h"
#include "ui/IButton.h"
#include "ui/LayoutConventions.h"
#include "ui/QnButton.h"
#include "ui/QnGroupBox.h"
#include "ui/Title.h"

namespace {
using enum TControlKind;

template <class C, class Setter, class V>
void Set(C* control, Setter setter, const std::optional<V>& value) {
  if (value) (control->*setter)(*value);
}

template <class C>
void SetRadii(C* c, const std::optional<TRadii>& r) {
  if (!r) return;
  c->SetRadiusTL(r->TL);
  c->SetRadiusTR(r->TR);
  c->SetRadiusBL(r->BL);
  c->SetRadiusBR(r->BR);
}

template <class C>
void SetKeys(C* c, const TSettings& s) {
  Set(c, &C::SetDefault, s.Default);
  Set(c, &C::SetCancel, s.Cancel);
}

void ApplyPanel(TQnGroupBox* c, const TSettings& s) {
  Set(c, &TQnGroupBox::SetBrdStyle, s.BrdStyle);
  Set(c, &TQnGroupBox::SetColor, s.Color);
  Set(c, &TQnGroupBox::SetBrdColor, s.BrdColor);
  SetRadii(c, s.Radii);
}

void ApplyHoverButton(TQnButton* c, const TSettings& s) {
  Set(c, &TQnButton::SetInactiveColor, s.InactiveColor);
  Set(c, &TQnButton::SetActiveColor, s.ActiveColor);
  Set(c, &TQnButton::SetInactiveTextColor, s.InactiveTextColor);
  Set(c, &TQnButton::SetActiveTextColor, s.ActiveTextColor);
  Set(c, &TQnButton::SetBackColor, s.BackColor);
  Set(c, &TQnButton::SetABrdColor, s.ABrdColor);
  Set(c, &TQnButton::SetIBrdColor, s.IBrdColor);
  Set(c, &TQnButton::SetAlignment, s.Alignment);
  SetRadii(c, s.Radii);
  SetKeys(c, s);
}

void ApplyLabel(TLabel* c, const TSettings& s) {
  Set(c, &TLabel::SetTransparent, s.Transparent);
  Set(c, &TLabel::SetAlignment, s.Alignment);
  Set(c, &TLabel::SetAutoSize, s.AutoSize);
  Set(c, &TLabel::SetWordWrap, s.WordWrap);
  Set(c, &TLabel::SetShowAccelChar, s.ShowAccelChar);
}

std::unique_ptr<TBitmap> Picture(const TPictureSource& pictures, TPictureId id) {
  std::unique_ptr<TBitmap> bitmap = pictures ? pictures(id) : nullptr;
  if (!bitmap)
    throw ELayoutError("The window supplies no picture number " + std::to_string(int(id)));
  return bitmap;
}

// AutoSize comes before the picture, so that a picture box takes the picture's size.
void ApplyPictures(TImage* c, const TSettings& s, const TPictureSource& pictures) {
  Set(c, &TImage::SetStretch, s.Stretch);
  Set(c, &TImage::SetAutoSize, s.AutoSize);
  if (s.Picture) c->Picture()->SetGraphic(Picture(pictures, *s.Picture).get());
  if (!s.PictureA) return;
  auto* button = dynamic_cast<TIButton*>(c);
  if (!button) throw ELayoutError(c->Name() + " has no active picture");
  button->PictureA()->SetGraphic(Picture(pictures, *s.PictureA).get());
}

void ApplyWindowed(TControl* c, const TSettings& s) {
  if (!s.TabOrder && !s.TabStop) return;
  auto* win = dynamic_cast<TWinControl*>(c);
  if (!win) throw ELayoutError(c->Name() + " has no place in the tab order");
  Set(win, &TWinControl::SetTabOrder, s.TabOrder);
  Set(win, &TWinControl::SetTabStop, s.TabStop);
}

void ApplyCommon(TControl* c, const TSettings& s, TBuildContext& context) {
  Set(c, &TControl::SetParentColor, s.ParentColor);
  Set(c, &TControl::SetParentFont, s.ParentFont);
  if (s.Font) AssignFont(c, *s.Font);
  ApplyWindowed(c, s);
  if (!s.OnClick.empty()) c->OnClick = context.Handlers.Get<TNotifyEvent>(s.OnClick);
}

void ApplySettings(TControl* c, TControlKind kind, const TSettings& s, TBuildContext& context) {
  ApplyCommon(c, s, context);
  switch (kind) {
    case Panel:
      return ApplyPanel(static_cast<TQnGroupBox*>(c), s);
    case HoverButton:
      return ApplyHoverButton(static_cast<TQnButton*>(c), s);
    case PictureButton:
      SetKeys(static_cast<TIButton*>(c), s);
      [[fallthrough]];
    case TitlePicture:
    case PictureBox:
      return ApplyPictures(static_cast<TImage*>(c), s, context.Pictures);
    case CaptionLabel:
    case StandardLabel:
      return ApplyLabel(static_cast<TLabel*>(c), s);
    case EditBox:
      return Set(static_cast<TEdit*>(c), &TEdit::SetPasswordChar, s.PasswordChar);
  }
}

// The hover button's caption is its own string, not the control text.
void ApplyText(TControl* c, TControlKind kind, std::string_view text) {
  switch (kind) {
    case HoverButton:
      return static_cast<TQnButton*>(c)->SetCaption(std::string(text));
    case CaptionLabel:
    case StandardLabel:
    case EditBox:
      return c->SetText(std::string(text));
    default:
      if (!text.empty()) throw ELayoutError(c->Name() + " shows no text");
  }
}
}  // namespace

void AssignFont(TControl* control, const TLayoutFont& layoutFont) {
  TFont font;
  font.SetName(std::string(layoutFont.Name));
  font.SetHeight(layoutFont.Height);
  font.SetColor(layoutFont.Color);
  font.SetStyle(layoutFont.Style);
  control->SetFont(&font);
}

void ApplyRow(TControl* control, const TControlRow& row, TBuildContext& context) {
  ApplySettings(control, row.Kind, Convention(row.Kind), context);
  ApplySettings(control, row.Kind, row.Other, context);
  ApplyText(control, row.Kind, row.Text);
}

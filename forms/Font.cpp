#include "forms/Font.h"

#include <cstdlib>

void TFont::SetName(const std::string& value) {
  if (value == FName) return;
  FName = value;
  Changed();
}

void TFont::SetHeight(int value) {
  if (value == FHeight) return;
  FHeight = value;
  Changed();
}

int TFont::Size() const {
  return -FHeight * 72 / 96;
}
void TFont::SetSize(int points) {
  SetHeight(-(points * 96 + 36) / 72);
}

void TFont::SetColor(TColor value) {
  if (value == FColor) return;
  FColor = value;
  Changed();
}

void TFont::SetStyle(TFontStyles value) {
  if (value == FStyle) return;
  FStyle = value;
  Changed();
}

bool TFont::SameAs(const TFont& other) const {
  return FName == other.FName && FHeight == other.FHeight && FColor == other.FColor &&
         FStyle == other.FStyle;
}

void TFont::Assign(const TFont& source) {
  if (&source == this || SameAs(source)) return;
  FName = source.FName;
  FHeight = source.FHeight;
  FColor = source.FColor;
  FStyle = source.FStyle;
  Changed();
}

TFontRequest TFont::Request() const {
  TFontRequest request;
  request.Name = FName;
  // A cell height holds about one sixth of leading above the characters.
  request.Height = FHeight < 0 ? -FHeight : FHeight > 0 ? (FHeight * 5 + 3) / 6 : 12;
  request.Bold = (FStyle & fsBold) != 0;
  request.Italic = (FStyle & fsItalic) != 0;
  request.Underline = (FStyle & fsUnderline) != 0;
  request.StrikeOut = (FStyle & fsStrikeOut) != 0;
  return request;
}

void TFont::Changed() {
  if (OnChange) OnChange(this);
}

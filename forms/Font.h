#pragma once
// A font description shared by controls and canvases: family name, height, colour and
// style. OnChange fires after every change so that an owner can repaint or pass it on.

#include <functional>
#include <string>

#include "platform/Object.h"
#include "platform/draw/Color.h"
#include "platform/text/FontRequest.h"

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

class TFont : public TObject {
 public:
  TFont() = default;

  const std::string& Name() const { return FName; }
  void SetName(const std::string& value);
  // The classic convention: a negative height is the character height in pixels (-12 is a
  // 12-pixel font), a positive one the cell height, which includes the internal leading.
  int Height() const { return FHeight; }
  void SetHeight(int value);
  // Points at 96 pixels per inch.
  int Size() const;
  void SetSize(int points);
  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles value);

  // Copies every attribute and fires OnChange once (when anything differed).
  void Assign(const TFont& source);
  bool SameAs(const TFont& other) const;
  // What the text renderer needs (colour is the canvas's text colour, not part of it).
  TFontRequest Request() const;

  std::function<void(TObject* Sender)> OnChange;

 protected:
  void Changed();

 private:
  std::string FName = "Verdana";
  int FHeight = -12;
  TColor FColor = clWindowText;
  TFontStyles FStyle = 0;
};

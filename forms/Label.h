#pragma once
// The standard static text: opaque in its colour (its parent's, by default), text
// aligned left, right or centred, no automatic sizing unless asked, and accelerator
// prefixes: "&x" underlines x, "&&" shows one ampersand. A label being read from a window
// layout does not size itself: the layout states its size.

#include "forms/GraphicControl.h"

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool value);
  bool Transparent() const { return (ControlStyle() & csOpaque) == 0; }
  void SetTransparent(bool value);
  bool WordWrap() const { return FWordWrap; }
  // The caption as the label draws it: its accelerator prefixes taken out unless
  // ShowAccelChar is off.
  std::string ShownText() const;
  void SetWordWrap(bool value);

  void WndProc(TMessage& Message) override;

 protected:
  // For labels that start out auto-sized: the flag is set without measuring, so a new one
  // keeps the size it was created with until its text or font changes.
  TLabel(TComponent* AOwner, bool autoSize);
  void Paint() override;

 private:
  unsigned TextFlags() const;
  void AdjustBounds();

  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = false;
  bool FShowAccelChar = true;
  bool FWordWrap = false;
};

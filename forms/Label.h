#pragma once
// The standard static text: opaque in its colour (its parent's, by default), text
// aligned left, right or centred, no automatic sizing unless asked, and accelerator
// prefixes: "&x" underlines x, "&&" shows one ampersand.

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
  void SetWordWrap(bool value);

  void WndProc(TMessage& Message) override;

 protected:
  void Paint() override;

 private:
  unsigned TextFlags() const;
  void AdjustBounds();

  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = false;
  bool FShowAccelChar = true;
  bool FWordWrap = false;
};

#pragma once
// The program's push button: a windowless control painted as a filled, rounded one-pixel
// frame with a one-line caption, in one set of colours while inactive and another while
// the pointer is over it. It has no pressed look.

#include <string>

#include "forms/GraphicControl.h"
#include "ui/RoundedCorners.h"
#include "ui/SkinButton.h"

class TQnButton : public TSkinButton<TRoundedCorners<TGraphicControl>> {
 public:
  explicit TQnButton(TComponent* AOwner);

  // The button's own string, not the control text: the window's accelerator handling
  // never sees it, and it is drawn as plain text, an ampersand as itself.
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& value);
  TColor InactiveColor() const { return FInactiveColor; }
  void SetInactiveColor(TColor value);
  TColor ActiveColor() const { return FActiveColor; }
  void SetActiveColor(TColor value);
  TColor InactiveTextColor() const { return FInactiveTextColor; }
  void SetInactiveTextColor(TColor value);
  TColor ActiveTextColor() const { return FActiveTextColor; }
  void SetActiveTextColor(TColor value);
  // The corners outside the rounded frame.
  TColor BackColor() const { return FBackColor; }
  void SetBackColor(TColor value);
  TColor ABrdColor() const { return FABrdColor; }
  void SetABrdColor(TColor value);
  TColor IBrdColor() const { return FIBrdColor; }
  void SetIBrdColor(TColor value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);

 protected:
  void Paint() override;

 private:
  int CaptionLeft(int textWidth) const;

  std::string FCaption;
  TColor FInactiveTextColor = clYellow;
  TColor FActiveTextColor = 0x004000;
  TColor FInactiveColor = 0x004000;
  TColor FActiveColor = clLime;
  TColor FBackColor = clSilver;
  TColor FABrdColor = clBlack;
  TColor FIBrdColor = clBlack;
  TAlignment FAlignment = taCenter;
};

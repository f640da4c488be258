#pragma once
// The rounded panel every window of the program is built from: a container painted as one
// flat colour inside a one-pixel frame with four separately rounded corners. It draws no
// caption, and its children are clipped to it.

#include "forms/GroupBox.h"
#include "ui/RoundedCorners.h"

class TQnGroupBox : public TRoundedCorners<TGroupBox> {
 public:
  explicit TQnGroupBox(TComponent* AOwner);

  // The panel's fill alone. It hides the control colour on purpose: controls inside that
  // follow their parent's colour keep following the colour the panel took from its own
  // parent, whatever fill the panel shows.
  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  TColor BrdColor() const { return FBrdColor; }
  void SetBrdColor(TColor value);
  TBrdStyle BrdStyle() const { return FBrdStyle; }
  void SetBrdStyle(TBrdStyle value);

 protected:
  void Paint() override;

 private:
  TColor FColor = clSilver;
  TColor FBrdColor = 0x004000;
  TBrdStyle FBrdStyle = brdNormal;
};

#pragma once
// The caption label: the window's title text, drawn over the title picture. It sizes
// itself to its text from the start (though not while its window is being built from a
// layout), and a left press on it drags the window.

#include "forms/Label.h"
#include "ui/CaptionDrag.h"

class TCLabel : public TCaptionDrag<TLabel> {
 public:
  explicit TCLabel(TComponent* AOwner) : TCaptionDrag<TLabel>(AOwner, true) {}
};

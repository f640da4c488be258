#pragma once
// Applies a layout row's settings to the control made for it, each through the control's
// own setter, so that the control behaves as if the settings had been made by hand.

#include <functional>
#include <memory>

#include "forms/Bitmap.h"
#include "ui/LayoutHandlers.h"

using TPictureSource = std::function<std::unique_ptr<TBitmap>(TPictureId)>;

struct TBuildContext {
  THandlerBinding& Handlers;
  const TPictureSource& Pictures;
};

// The control's kind's conventions, then the row's own settings, then its text.
void ApplyRow(TControl* control, const TControlRow& row, TBuildContext& context);
void AssignFont(TControl* control, const TLayoutFont& layoutFont);

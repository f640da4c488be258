#pragma once
// The pictures the windows' layouts ask for, from the ones built into the program.

#include <memory>

#include "forms/Bitmap.h"
#include "ui/Layout.h"

std::unique_ptr<TBitmap> ProgramPicture(TPictureId id);

#pragma once
// Pictures: the graphic base, bitmaps and the picture container.

#include "forms/Bitmap.h"
#include "forms/Graphic.h"
#include "forms/Picture.h"

#pragma once
// Puts a run of glyphs onto a surface: alpha-blends each glyph's coverage in the text
// colour and draws underlines. Internal to the text folder; coordinates are surface
// coordinates and clip is already cut to the surface.

#include <string>
#include <vector>

#include "platform/draw/Surface.h"
#include "platform/text/FontFace.h"

struct TTextRun {
  std::string Text;
  std::vector<bool> Underlined;  // per character; empty: none
  std::vector<int> X;            // pen position of each character, relative to the run
  int Width = 0;
};

// The pen position after one character: a tab goes to the next multiple of tabWidth when
// tabWidth is positive, other characters advance by their glyph's width.
int AdvancePen(TFontFace& face, int pen, unsigned char c, int tabWidth);

// Lays out text from pen position 0: tabs go to the next multiple of tabWidth when tabWidth
// is positive, other characters advance by their glyph's width.
TTextRun LayoutRun(TFontFace& face, const std::string& text, int tabWidth);

// Draws the run with its top-left corner (the line's cell, not the baseline) at (x, y).
void PaintRun(TSurface& surface, const TRect& clip, TFontFace& face, const TTextRun& run, int x,
              int y, TColor color, bool underlineAll, bool strikeOut);

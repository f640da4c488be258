#pragma once
// The one-pixel frame with four separately rounded corners that panels and hover buttons
// draw, and the panel's two frame styles.

#include <cstdint>

#include "forms/Canvas.h"

// brdNormal: an engraved frame, a white line one pixel inside-and-below a dark one;
// brdSingle: the dark line alone.
enum TBrdStyle : std::uint8_t { brdNormal = 0, brdSingle = 1 };

// Draws the frame with the canvas's pen and moves nothing but its drawing position. X and Y
// are the frame's first column and row, Right and Bottom one past its last; the radii come
// clockwise from the top-left corner. Radii are not checked: corners larger than their
// sides overlap and the edges between them run backwards.
void DrawRoundedFrame(TCanvas* Canvas, int X, int Y, int Right, int Bottom, int RadiusTL,
                      int RadiusTR, int RadiusBR, int RadiusBL);

#pragma once
// What a canvas asks for when it draws text: a family name, a pixel height and a style.
// The face actually used is the best match fontconfig finds, so a family that is not
// installed ("Verdana" on most Linux machines) still draws, in the substitute face.

#include <string>

struct TFontRequest {
  std::string Name = "Verdana";
  // Character height in pixels (the em size; Windows' negative lfHeight, VCL Font.Height
  // -12 means 12 here). Values <= 0 are taken as 12.
  int Height = 12;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  friend bool operator==(const TFontRequest&, const TFontRequest&) = default;
};

// Line metrics of the face chosen for a request, in pixels (Windows TEXTMETRIC's names).
struct TTextMetric {
  int tmHeight = 0;  // ascent + descent: the height of one line of text
  int tmAscent = 0;  // baseline distance from the top of the line
  int tmDescent = 0;
  int tmAveCharWidth = 0;
};

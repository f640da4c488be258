#pragma once
// The font table of the run: which families are installed, and font files added for the
// run only (Windows AddFontResourceA / RemoveFontResourceA). Adding or removing a file
// changes which face a family name resolves to from then on; telling the windows about it
// is the caller's part, with SendFontChange (a WM_FONTCHANGE broadcast).

#include <string>
#include <vector>

// Family names of every installed scalable font, each once, sorted; a file added with
// AddFontResourceA contributes its families until it is removed again.
std::vector<std::string> InstalledFontFamilies();
// True when a family of exactly this name (case-sensitive) is installed.
bool IsFontFamilyInstalled(const std::string& family);

// Adds the fonts of a file for this run; returns how many faces were added, 0 when the file
// is missing or not a font. Adding the same file twice counts once.
int AddFontResourceA(const std::string& path);
// Removes a file added by AddFontResourceA; false when it was not added.
bool RemoveFontResourceA(const std::string& path);

// Sends WM_FONTCHANGE (both parameters 0) to every top-level window, as the Windows
// broadcast to HWND_BROADCAST does.
void SendFontChange();

// Anti-aliased glyph edges blend the text colour into the background and so create many
// in-between colours. On a screen of 256 colours those would use up the colormap, so the
// display turns smoothing off there and glyphs are drawn with whole pixels, as Windows does
// on such screens. On by default.
void SetTextSmoothing(bool on);
bool TextSmoothing();

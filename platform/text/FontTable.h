#pragma once
// The fontconfig configuration every face lookup and font list goes through, with the font
// files added for the run. Internal to the text folder.

#include <fontconfig/fontconfig.h>

// Initialised on first use; the files added by AddFontResourceA are its application fonts.
FcConfig* FontTableConfig();

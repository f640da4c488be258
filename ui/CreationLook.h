#pragma once
// The two steps by which each of the program's windows adjusts its look when it is created
// (its FormCreate calls this): the caption is drawn straight over the title picture, and on a
// screen of 8 bits per pixel or fewer the title picture becomes plain green, because there
// its colours would be squeezed into whatever the palette has left.

#include "forms/Form.h"

void ApplyCreationLook(TForm* form, int ScreenColorBits);

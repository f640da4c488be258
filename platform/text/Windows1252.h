#pragma once
// The program's text is 8-bit Windows-1252, as on the platform it was made for: 0x80-0x9F
// hold typographic characters (curly quotes, dashes, the euro sign, ...), 0xA0-0xFF are
// Latin-1, and below 0x80 it is ASCII.

// The Unicode character a byte stands for. The five codes Windows-1252 leaves unassigned
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) give the control characters of the same number, as
// Windows' own conversion does; fonts have no glyph for them, so they show as the face's
// box for a missing character and the byte stays visible.
char32_t Windows1252ToUnicode(unsigned char byte);

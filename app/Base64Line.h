#pragma once
// Base64 bodies are decoded a line at a time, each line by itself: no group runs on into
// the next line, and a space ends a line's data.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// One entry per 7-bit code: the base64 alphabet gives 0 to 63, "=" gives 64 (padding),
// every other code 255.
extern const std::array<std::uint8_t, 128> DecodeTable;

// Decodes the groups of Line from Pos on into Buffer, as many whole groups as Size bytes
// hold, moves Pos past them and gives the number of bytes written. It gives 0 once the
// line's data has ended, at the end of the line or at a space where a group would start,
// so a line that decodes to more than Size bytes is taken by calling again until 0.
// Spaces before the data are passed over when Pos is 0. Characters outside the alphabet,
// bytes 128-255 included, count as 63 (255 masked); a last group cut short by the end of
// the line reads as if padded with "=".
int DecodeBase64Line(std::string_view Line, std::size_t& Pos, std::uint8_t* Buffer, int Size);

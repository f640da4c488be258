#include "app/Base64Line.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kPad = 64;

constexpr std::array<std::uint8_t, 128> MakeDecodeTable() {
  std::array<std::uint8_t, 128> table{};
  table.fill(255);
  constexpr std::string_view kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  for (std::size_t i = 0; i < kAlphabet.size(); ++i)
    table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::uint8_t>(i);
  table['='] = kPad;
  return table;
}

std::uint8_t Lookup(std::string_view Line, std::size_t i) {
  if (i >= Line.size()) return kPad;
  const auto c = static_cast<unsigned char>(Line[i]);
  return c < DecodeTable.size() ? DecodeTable[c] : 255;
}

}  // namespace

const std::array<std::uint8_t, 128> DecodeTable = MakeDecodeTable();

int DecodeBase64Line(std::string_view Line, std::size_t& Pos, std::uint8_t* Buffer, int Size) {
  if (Pos == 0)
    while (Pos < Line.size() && Line[Pos] == ' ') ++Pos;
  int written = 0;
  // A group writes up to three bytes; stopping short of that keeps every write inside.
  while (Size - written >= 3 && Pos < Line.size() && Line[Pos] != ' ') {
    const std::uint8_t a = Lookup(Line, Pos), b = Lookup(Line, Pos + 1);
    const std::uint8_t c = Lookup(Line, Pos + 2), d = Lookup(Line, Pos + 3);
    Pos = std::min(Pos + 4, Line.size());
    Buffer[written++] = static_cast<std::uint8_t>(((a & 63) << 2) + ((b & 48) >> 4));
    if (c == kPad) continue;
    Buffer[written++] = static_cast<std::uint8_t>(((b & 15) << 4) + ((c & 60) >> 2));
    if (d == kPad) continue;
    Buffer[written++] = static_cast<std::uint8_t>(((c & 3) << 6) + (d & 63));
  }
  return written;
}

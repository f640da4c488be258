#include "platform/x11/X11Text.h"

std::string Latin1ToUtf8(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

namespace {

// Length of the sequence a lead byte starts (0: not a lead byte).
int SequenceLength(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) return 2;
  if ((c & 0xF0) == 0xE0) return 3;
  if ((c & 0xF8) == 0xF0) return 4;
  return 0;
}

}  // namespace

std::string Utf8ToLatin1(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const int len = SequenceLength(c);
    if (len == 1) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    bool whole = len > 0 && i + len <= s.size();
    unsigned code = whole ? c & (0x7F >> len) : 0;
    for (int k = 1; whole && k < len; ++k) {
      const unsigned char next = static_cast<unsigned char>(s[i + k]);
      whole = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    // Latin-1 needs exactly two bytes; shorter codes in two bytes are malformed (overlong).
    const bool latin1 = whole && len == 2 && code >= 0x80 && code <= 0xFF;
    out.push_back(latin1 ? static_cast<char>(code) : '?');
    i += whole ? len : 1;
  }
  return out;
}

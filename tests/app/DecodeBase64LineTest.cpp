#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Base64Line.h"

namespace {

// Decodes the whole line through a heap buffer of exactly size bytes, so that a write past
// it is caught by the address sanitizer.
std::string Decode(const std::string& line, int size = 100) {
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size));
  std::string out;
  std::size_t pos = 0;
  while (const int n = DecodeBase64Line(line, pos, buffer.data(), size)) {
    EXPECT_LE(n, size);
    out.append(buffer.begin(), buffer.begin() + n);
  }
  return out;
}

TEST(DecodeBase64Line, GroupsPaddingAndStrayCharacters) {
  const struct {
    std::string line;
    std::string bytes;
  } cases[] = {
      {"", ""},
      {"QUJD", "ABC"},
      {"   QUJDRA==", "ABCD"},                   // leading spaces passed over
      {"QUJD RA==", "ABC"},                      // a space ends the data
      {"QU JD", std::string("AO\xc9\x0c", 4)},   // inside a group a space is just a stray
      {"QUI=", "AB"},                            // "=" fourth: two bytes
      {"QQ=x", "A"},                             // "=" third ends the group after one byte
      {"=UJD", std::string("\x01\x42\x43", 3)},  // "=" first counts 0
      {"Q=JD", std::string("@\x02\x43", 3)},     // "=" second counts 0
      {"QQ==QUJD", "AABC"},                      // groups after padding still decoded
      {"QU!D", std::string("AO\xc3", 3)},        // "!" counts 63
      {"QU\xc1"
       "D",
       std::string("AO\xc3", 3)},  // so does a byte above 127
      {"QUJDRA", "ABCD"},          // a group cut short reads as padded
      {"QUJDREU", "ABCDE"},
  };
  for (const auto& c : cases) EXPECT_EQ(Decode(c.line), c.bytes) << c.line;
}

TEST(DecodeBase64Line, ALongLineLosesNothingAndNoWriteLeavesTheBuffer) {
  std::string line, bytes;
  for (int i = 0; i < 200; ++i) line += "QUJD";
  for (int i = 0; i < 200; ++i) bytes += "ABC";
  for (int size : {3, 4, 5, 100}) EXPECT_EQ(Decode(line + "QQ", size), bytes + "A") << size;
  std::uint8_t small[2];
  std::size_t pos = 0;
  EXPECT_EQ(DecodeBase64Line("QUJD", pos, small, 2), 0);  // no room for a group
}

}  // namespace

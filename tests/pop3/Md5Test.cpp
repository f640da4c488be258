#include "pop3/Md5.h"

#include <gtest/gtest.h>

#include <string>

// The test suite printed in RFC 1321, appendix A.5.
TEST(Md5, MatchesTheReferenceSuite) {
  EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5Hex("a"), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(Md5Hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
  EXPECT_EQ(Md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
            "d174ab98d277d9f5a5611c2c9f419d9f");
  EXPECT_EQ(Md5Hex("1234567890123456789012345678901234567890123456789012345678901234567890"
                   "1234567890"),
            "57edf4a22be3c955ac49da2e2107b67a");
}

// The APOP example of RFC 1939: timestamp and secret digested together, no separator.
TEST(Md5, GivesTheApopDigestOfTheMailStandard) {
  EXPECT_EQ(Md5Hex("<1896.697170952@dbc.mtview.ca.us>tanstaaf"),
            "c4c9334bac560ecc979e58001b3e22fb");
}

// Lengths around the 56-byte padding boundary and pieces that straddle blocks must give
// the same digest as one call over the whole text.
TEST(Md5, PiecewiseUpdatesAgreeWithOneUpdateAtEveryLength) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += static_cast<char>('A' + i % 23);
  for (std::size_t len : {55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u, 128u, 200u}) {
    const std::string whole = text.substr(0, len);
    TMd5 md5;
    for (std::size_t pos = 0; pos < len; pos += 7) md5.Update(whole.substr(pos, 7));
    const auto digest = md5.Final();
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (auto b : digest) {
      hex += kHex[b >> 4];
      hex += kHex[b & 15];
    }
    EXPECT_EQ(hex, Md5Hex(whole)) << "length " << len;
  }
  // 64 bytes exactly needs a whole extra block of padding.
  EXPECT_EQ(Md5Hex(std::string(64, 'a')), "014842d480b571495a4a0363793f7367");
}

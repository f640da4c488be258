#pragma once
// MD5 message digest (RFC 1321), the program's own, for the APOP login.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class TMd5 {
 public:
  TMd5();
  void Update(const void* data, std::size_t len);
  void Update(std::string_view text) { Update(text.data(), text.size()); }
  // Pads the message and returns the 16 digest bytes; the object is then spent.
  std::array<std::uint8_t, 16> Final();

 private:
  void Transform(const std::uint8_t* block);

  std::uint32_t FState[4];
  std::uint64_t FBitCount = 0;
  std::uint8_t FBlock[64] = {};
  std::size_t FBlockLen = 0;
};

// The digest of text as 32 lower-case hexadecimal digits.
std::string Md5Hex(std::string_view text);

#pragma once
// The small text helpers the program's windows use, with their classic names and rules.
// Text is 8-bit and length-counted; positions in Copy count from 1.

#include <cstdint>
#include <stdexcept>
#include <string>

// A text that is not a decimal number where one is required.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Changes "A" to "Z" into "a" to "z" and leaves every other byte as it is (bytes 128-255
// included), whatever the locale.
std::string LowerCase(const std::string& text);

// Up to count characters of text from the 1-based position index. A position before the
// first character counts from the first; a position past the end, or a count below 1,
// gives empty text. Never throws.
std::string Copy(const std::string& text, std::int64_t index, std::int64_t count);
// The rest of text from the 1-based position index (empty past the end).
std::string CopyFrom(const std::string& text, std::int64_t index);

// Strict decimal: an optional sign and one or more digits, nothing else (no blanks, no
// hexadecimal), within the 32-bit signed range.
bool TryStrToInt(const std::string& text, std::int32_t& value);
// As TryStrToInt, raising EConvertError "'<text>' is not a valid integer value" instead.
std::int32_t StrToInt(const std::string& text);

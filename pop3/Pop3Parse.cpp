#include "pop3/Pop3Parse.h"

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::size_t SkipNonDigits(std::string_view text, std::size_t pos) {
  while (pos < text.size() && !IsDigit(text[pos])) ++pos;
  return pos;
}

std::size_t SkipDigits(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsDigit(text[pos])) ++pos;
  return pos;
}

}  // namespace

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
  while (pos < text.size()) {
    const char c = text[pos];
    if (c != '\t' && c != '\n' && c != '\r' && c != ' ') break;
    ++pos;
  }
  return pos;
}

std::size_t ParseNumber(std::string_view text, std::size_t pos, std::int32_t& value) {
  pos = SkipBlanks(text, pos);
  std::uint32_t result = 0;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos)
    result = result * 10 + std::uint32_t(text[pos] - '0');
  value = static_cast<std::int32_t>(result);
  return pos;
}

bool ParseTwoNumbers(std::string_view text, std::int32_t& first, std::int32_t& second) {
  std::size_t pos = SkipNonDigits(text, 0);
  if (pos >= text.size()) {
    first = second = 0;
    return false;
  }
  pos = ParseNumber(text, pos, first);
  pos = SkipBlanks(text, SkipDigits(text, pos));
  if (pos >= text.size()) {
    first = second = 0;
    return false;
  }
  ParseNumber(text, pos, second);
  return true;
}

bool ParseNumberAndId(std::string_view text, std::int32_t& number, std::string& id) {
  number = 0;
  id.clear();
  std::size_t pos = SkipNonDigits(text, 0);
  if (pos >= text.size()) return false;
  pos = ParseNumber(text, pos, number);
  while (pos < text.size() && text[pos] == ' ') ++pos;
  const std::size_t start = pos;
  while (pos < text.size() && text[pos] >= 33 && text[pos] <= 126) ++pos;
  id.assign(text.substr(start, pos - start));
  return true;
}

std::int32_t ParseFirstNumber(std::string_view text) {
  std::int32_t value = 0;
  const std::size_t pos = SkipNonDigits(text, 0);
  if (pos < text.size()) ParseNumber(text, pos, value);
  return value;
}

std::string CaptureTimestamp(std::string_view greeting) {
  const std::size_t open = greeting.find('<');
  if (open == std::string_view::npos) return {};
  const std::size_t close = greeting.find('>', open);
  if (close == std::string_view::npos) return {};
  return std::string(greeting.substr(open, close - open + 1));
}

std::string TrimControls(std::string_view text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  return std::string(text.substr(begin, end - begin));
}

bool IsImplicitTlsPort(std::string_view port) {
  std::string text = TrimControls(port);
  // A number is read up to its first non-digit, as the socket reads it: "0995" and "995x"
  // reach port 995 too.
  if (!text.empty() && text[0] >= '0' && text[0] <= '9') {
    std::int32_t number = 0;
    ParseNumber(text, 0, number);
    return number == 995;
  }
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text == "pop3s";
}

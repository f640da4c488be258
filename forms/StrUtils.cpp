#include "forms/StrUtils.h"

#include <algorithm>

std::string LowerCase(const std::string& text) {
  std::string result = text;
  for (char& c : result)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return result;
}

std::string Copy(const std::string& text, std::int64_t index, std::int64_t count) {
  if (index < 1) index = 1;
  const auto size = static_cast<std::int64_t>(text.size());
  if (count < 1 || index > size) return {};
  return text.substr(static_cast<std::size_t>(index - 1),
                     static_cast<std::size_t>(std::min(count, size - index + 1)));
}

std::string CopyFrom(const std::string& text, std::int64_t index) {
  return Copy(text, index, static_cast<std::int64_t>(text.size()));
}

bool TryStrToInt(const std::string& text, std::int32_t& value) {
  std::size_t pos = 0;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
  if (pos == text.size()) return false;
  std::int64_t magnitude = 0;
  for (; pos < text.size(); ++pos) {
    if (text[pos] < '0' || text[pos] > '9') return false;
    magnitude = magnitude * 10 + (text[pos] - '0');
    if (magnitude > std::int64_t{INT32_MAX} + 1) return false;
  }
  const std::int64_t result = negative ? -magnitude : magnitude;
  if (result > INT32_MAX) return false;
  value = static_cast<std::int32_t>(result);
  return true;
}

std::int32_t StrToInt(const std::string& text) {
  std::int32_t value = 0;
  if (!TryStrToInt(text, value)) throw EConvertError("'" + text + "' is not a valid integer value");
  return value;
}

// The number parsers that read text from outside: the POP3 client's reply parsers (numbers,
// ids, the APOP timestamp, the TLS port rule), the strict integer of the settings window
// and the socket unit's leading number. Each is compared with a reference written from its
// rule, not from its code: a digit run is read modulo 2^32 through its last 32 digits (10^32
// is a multiple of 2^32), and the strict integer through a 128-bit value. Round trips of
// numbers written out by the standard library must read back the same.
//
// Input: byte 0 picks the start position for ParseNumber; the rest is the text.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "forms/StrUtils.h"
#include "net/WSocketUnit.h"
#include "pop3/Pop3Parse.h"

namespace {

bool Digit(char c) {
  return c >= '0' && c <= '9';
}
bool Blank(char c) {
  return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

// The digit run at pos, read modulo 2^32.
std::uint32_t DigitsValue(std::string_view text, std::size_t pos, std::size_t& end) {
  end = pos;
  while (end < text.size() && Digit(text[end])) ++end;
  unsigned __int128 value = 0;
  for (std::size_t i = end - std::min<std::size_t>(end - pos, 32); i < end; ++i)
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
  return static_cast<std::uint32_t>(value);
}

std::size_t FirstDigit(std::string_view text) {
  return static_cast<std::size_t>(std::find_if(text.begin(), text.end(), Digit) - text.begin());
}

void CheckParseNumber(std::string_view text, std::size_t from) {
  std::size_t pos = from;
  while (pos < text.size() && Blank(text[pos])) ++pos;
  std::size_t end = 0;
  const std::uint32_t expected = DigitsValue(text, pos, end);
  std::int32_t value = -1;
  Check(ParseNumber(text, from, value) == end);
  Check(static_cast<std::uint32_t>(value) == expected);
}

void CheckReplyNumbers(std::string_view text) {
  const std::size_t first = FirstDigit(text);
  std::size_t end = 0;
  const std::uint32_t one = first < text.size() ? DigitsValue(text, first, end) : 0;
  Check(static_cast<std::uint32_t>(ParseFirstNumber(text)) == one);

  std::int32_t a = -1, b = -1;
  const bool two = ParseTwoNumbers(text, a, b);
  std::size_t next = end;
  while (next < text.size() && Blank(text[next])) ++next;
  const bool expectTwo = first < text.size() && next < text.size();
  Check(two == expectTwo);
  std::size_t ignored = 0;
  const std::uint32_t second = expectTwo ? DigitsValue(text, next, ignored) : 0;
  Check(static_cast<std::uint32_t>(a) == (expectTwo ? one : 0u));
  Check(static_cast<std::uint32_t>(b) == second);

  std::int32_t number = -1;
  std::string id = "x";
  Check(ParseNumberAndId(text, number, id) == (first < text.size()));
  Check(static_cast<std::uint32_t>(number) == one);
  std::size_t idStart = end;
  while (first < text.size() && idStart < text.size() && text[idStart] == ' ') ++idStart;
  std::string expectedId;
  for (std::size_t i = idStart; first < text.size() && i < text.size(); ++i) {
    if (text[i] < 33 || text[i] > 126) break;
    expectedId += text[i];
  }
  Check(id == expectedId);
}

void CheckTexts(std::string_view text) {
  const std::string stamp = CaptureTimestamp(text);
  const std::size_t open = text.find('<');
  const std::size_t close = open == std::string_view::npos ? open : text.find('>', open);
  Check(stamp == (close == std::string_view::npos
                      ? std::string()
                      : std::string(text.substr(open, close - open + 1))));

  const std::string trimmed = TrimControls(text);
  auto control = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  const std::size_t lead =
      static_cast<std::size_t>(std::find_if_not(text.begin(), text.end(), control) - text.begin());
  std::size_t tail = text.size();
  while (tail > lead && control(text[tail - 1])) --tail;
  Check(trimmed == text.substr(lead, tail - lead));

  bool tls = false;
  if (!trimmed.empty() && Digit(trimmed[0])) {
    std::size_t end = 0;
    tls = DigitsValue(trimmed, 0, end) == 995;
  } else {
    std::string lower = trimmed;
    for (char& c : lower)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    tls = lower == "pop3s";
  }
  Check(IsImplicitTlsPort(text) == tls);

  std::size_t spaces = 0;
  while (spaces < text.size() && text[spaces] == ' ') ++spaces;
  std::size_t end = 0;
  Check(static_cast<std::uint32_t>(ParseLeadingNumber(std::string(text))) ==
        DigitsValue(text, spaces, end));
}

void CheckStrictInteger(std::string_view text) {
  const bool sign = !text.empty() && (text[0] == '-' || text[0] == '+');
  const std::string_view digits = text.substr(sign ? 1 : 0);
  const bool wellFormed = !digits.empty() && std::all_of(digits.begin(), digits.end(), Digit);
  __int128 magnitude = 0;
  for (char c : digits) {
    if (!wellFormed || magnitude > (__int128{1} << 40)) break;
    magnitude = magnitude * 10 + (c - '0');
  }
  const __int128 expected = !text.empty() && text[0] == '-' ? -magnitude : magnitude;
  const bool fits = wellFormed && expected >= INT32_MIN && expected <= INT32_MAX;
  std::int32_t value = 7;
  Check(TryStrToInt(std::string(text), value) == fits);
  Check(!fits || value == static_cast<std::int32_t>(expected));
}

void CheckRoundTrips(const std::string& bytes) {
  std::uint32_t raw = 0;
  for (std::size_t i = 0; i < std::min<std::size_t>(4, bytes.size()); ++i)
    raw = raw << 8 | static_cast<std::uint8_t>(bytes[i]);
  const auto signedValue = static_cast<std::int32_t>(raw);
  std::int32_t back = 0;
  Check(TryStrToInt(std::to_string(signedValue), back) && back == signedValue);
  Check(TryStrToInt("+" + std::to_string(raw & 0x7FFFFFFF), back) &&
        back == static_cast<std::int32_t>(raw & 0x7FFFFFFF));
  std::int32_t a = 0, b = 0;
  const std::string reply = "+OK " + std::to_string(raw) + " " + std::to_string(~raw);
  Check(ParseTwoNumbers(reply, a, b) && static_cast<std::uint32_t>(a) == raw &&
        static_cast<std::uint32_t>(b) == ~raw);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TFuzzInput in(data, size);
  const int from = in.Byte();
  const std::string text = in.Rest();
  CheckParseNumber(text, static_cast<std::size_t>(from) % (text.size() + 1));
  CheckReplyNumbers(text);
  CheckTexts(text);
  CheckStrictInteger(text);
  CheckRoundTrips(text);
  return 0;
}

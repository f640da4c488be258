#pragma once
// Reading the numbers and ids out of POP3 reply lines, and the other small text rules of
// the client. Positions are indexes into the text; the end of the text ends every scan.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Passes over TAB, LF, CR and space (and nothing else).
std::size_t SkipBlanks(std::string_view text, std::size_t pos);
// Skips blanks, then reads an unsigned decimal number that wraps silently in 32 bits, the
// way the server's counters are read; no digit gives 0. Returns the position after it.
std::size_t ParseNumber(std::string_view text, std::size_t pos, std::int32_t& value);
// The first two numbers of a reply ("+OK 2 320"); both 0 when there are fewer than two.
bool ParseTwoNumbers(std::string_view text, std::int32_t& first, std::int32_t& second);
// A number and the printable id after it ("+OK 1 whqtswO00WBw418f9t5JxYwZ").
bool ParseNumberAndId(std::string_view text, std::int32_t& number, std::string& id);
// The first number of a reply, 0 when it holds no digit.
std::int32_t ParseFirstNumber(std::string_view text);
// The APOP timestamp of a greeting: from the first "<" through the first ">" after it,
// both included; empty when either is missing.
std::string CaptureTimestamp(std::string_view greeting);
// The text without leading and trailing characters of code 32 or less.
std::string TrimControls(std::string_view text);
// True when the port names the POP3 over TLS service: 995 (RFC 8314's implicit TLS) or
// "pop3s" in any case. Every other port keeps plain POP3, so that no stored setting
// changes meaning.
bool IsImplicitTlsPort(std::string_view port);

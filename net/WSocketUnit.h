#pragma once
// The conversions of the socket unit. Each raises ESocketException directly (never
// through a component's OnError).

#include <cstdint>
#include <string>

// Skips leading spaces, then reads decimal digits up to the first non-digit; 0 if none.
int ParseLeadingNumber(const std::string& s);
// Dotted address or host name (blocking lookup) to an IPv4 address in network order.
std::uint32_t WSocketResolveHost(const std::string& host);
// Number or service name to a port in host order.
std::uint16_t WSocketResolvePort(const std::string& port, const std::string& proto);
// Number or protocol name to a protocol number.
int WSocketResolveProto(const std::string& proto);
// English text of a WinSock error code.
std::string WinsockErrorText(int errorCode);

// Removes leading and trailing control characters and spaces.
std::string TrimText(const std::string& s);

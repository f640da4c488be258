#include "net/WSocketUnit.h"

#include <cstdio>
#include <cstring>

#include "net/SocketException.h"
#include "net/WinsockApi.h"

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::string TrimText(const std::string& s) {
  size_t first = 0;
  size_t last = s.size();
  while (first < last && static_cast<unsigned char>(s[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(s[last - 1]) <= ' ') --last;
  return s.substr(first, last - first);
}

namespace {

std::string Format(const char* format, const std::string& arg) {
  char text[400];
  std::snprintf(text, sizeof text, format, arg.c_str());
  return text;
}

}  // namespace

int ParseLeadingNumber(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  // Unsigned arithmetic: a long run of digits wraps instead of overflowing a signed int.
  unsigned int value = 0;
  for (; i < s.size() && IsDigit(s[i]); ++i) value = value * 10 + static_cast<unsigned>(s[i] - '0');
  return static_cast<int>(value);
}

std::uint32_t WSocketResolveHost(const std::string& host) {
  if (host.empty() || host.size() > 256)
    throw ESocketException("WSocketResolveHost: '" + host + "' Invalid Hostname.");
  std::string s = TrimText(host);
  if (!s.empty() && IsDigit(s[0])) {
    std::uint32_t addr = ws::inet_addr(s.c_str());
    if (addr == winsock::INADDR_NONE && s != "255.255.255.255")
      throw ESocketException("WSocketResolveHost: '" + s + "' Invalid IP address.");
    return addr;
  }
  winsock::THostEnt* entry = ws::gethostbyname(s.c_str());
  if (!entry || !entry->h_addr_list || !entry->h_addr_list[0])
    throw ESocketException(Format("WSocketResolveHost: Cannot convert host address '%s'", s));
  std::uint32_t addr;
  std::memcpy(&addr, entry->h_addr_list[0], sizeof addr);
  return addr;
}

std::uint16_t WSocketResolvePort(const std::string& port, const std::string& proto) {
  if (port.empty() || port.size() >= 32)
    throw ESocketException("WSocketResolvePort: Invalid Port.");
  if (IsDigit(port[0])) return static_cast<std::uint16_t>(ParseLeadingNumber(port));
  std::string name = TrimText(port);
  std::string protocol = TrimText(proto);
  winsock::TServEnt* entry =
      ws::getservbyname(name.c_str(), protocol.empty() ? nullptr : protocol.c_str());
  if (!entry) throw ESocketException(Format("WSocketResolvePort: Cannot convert port '%s'", port));
  return ws::ntohs(static_cast<std::uint16_t>(entry->s_port));
}

int WSocketResolveProto(const std::string& proto) {
  if (proto.empty() || proto.size() >= 32)
    throw ESocketException("WSocketResolveProto: Invalid Protocol.");
  std::string s = TrimText(proto);
  if (!s.empty() && IsDigit(s[0])) return ParseLeadingNumber(s);
  winsock::TProtoEnt* entry = ws::getprotobyname(s.c_str());
  if (!entry)
    throw ESocketException(Format("WSocketResolveProto: Cannot convert protocol '%s'", proto));
  return entry->p_proto;
}

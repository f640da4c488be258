// The system socket names first, before Winsock.h can meet their macros.
#include "platform/winsock/PosixNames.h"

#include "platform/winsock/ServiceTable.h"

#include <strings.h>

#include <array>
#include <map>
#include <mutex>

#include "platform/winsock/WinsockTestHooks.h"

namespace winsock::detail {

namespace {

struct FallbackService {
  const char* name;
  const char* proto;
  std::uint16_t port;
};

constexpr FallbackService kServices[] = {
    {"ftp", "tcp", 21},     {"telnet", "tcp", 23},  {"smtp", "tcp", 25},   {"http", "tcp", 80},
    {"www", "tcp", 80},     {"pop3", "tcp", 110},   {"pop3", "udp", 110},  {"pop-3", "tcp", 110},
    {"socks", "tcp", 1080}, {"socks", "udp", 1080}, {"pop3s", "tcp", 995},
};

struct FallbackProtocol {
  const char* name;
  int number;
};

constexpr FallbackProtocol kProtocols[] = {{"ip", 0}, {"icmp", 1}, {"tcp", 6}, {"udp", 17}};

bool NoProto(const char* proto) {
  return proto == nullptr || *proto == '\0';
}

bool SystemService(const char* name, const char* proto, ServiceEntry& out) {
  servent ent;
  servent* found = nullptr;
  std::array<char, 4096> buf;
  if (::getservbyname_r(name, NoProto(proto) ? nullptr : proto, &ent, buf.data(), buf.size(),
                        &found) != 0 ||
      found == nullptr)
    return false;
  out = ServiceEntry{found->s_name, found->s_proto,
                     ::ntohs(static_cast<std::uint16_t>(found->s_port))};
  return true;
}

std::mutex simulatedMutex;
std::map<std::string, std::uint16_t> simulatedServices;  // keyed by the lower-case name

std::string LowerCaseName(std::string name) {
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return name;
}

bool SimulatedService(const char* name, const char* proto, ServiceEntry& out) {
  std::lock_guard<std::mutex> lock(simulatedMutex);
  const auto found = simulatedServices.find(LowerCaseName(name));
  if (found == simulatedServices.end()) return false;
  out = ServiceEntry{name, NoProto(proto) ? "tcp" : proto, found->second};
  return true;
}

}  // namespace

bool FindService(const char* name, const char* proto, ServiceEntry& out) {
  if (SimulatedService(name, proto, out)) return true;
  if (SystemService(name, proto, out)) return true;
  // Service names are compared without regard to case, as on WinSock.
  for (const FallbackService& s : kServices) {
    if (::strcasecmp(s.name, name) != 0) continue;
    if (!NoProto(proto) && ::strcasecmp(s.proto, proto) != 0) continue;
    out = ServiceEntry{s.name, s.proto, s.port};
    return true;
  }
  return false;
}

bool FindProtocol(const char* name, ProtocolEntry& out) {
  protoent ent;
  protoent* found = nullptr;
  std::array<char, 4096> buf;
  if (::getprotobyname_r(name, &ent, buf.data(), buf.size(), &found) == 0 && found != nullptr) {
    out = ProtocolEntry{found->p_name, found->p_proto};
    return true;
  }
  for (const FallbackProtocol& p : kProtocols) {
    if (::strcasecmp(p.name, name) != 0) continue;
    out = ProtocolEntry{p.name, p.number};
    return true;
  }
  return false;
}

}  // namespace winsock::detail

void winsock::SimulateService(const std::string& name, std::uint16_t port) {
  std::lock_guard<std::mutex> lock(detail::simulatedMutex);
  if (port == 0)
    detail::simulatedServices.erase(detail::LowerCaseName(name));
  else
    detail::simulatedServices[detail::LowerCaseName(name)] = port;
}

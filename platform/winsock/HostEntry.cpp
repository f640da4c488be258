// The system socket names first, before Winsock.h can meet their macros.
#include "platform/winsock/PosixNames.h"

#include "platform/winsock/HostEntry.h"

#include <algorithm>
#include <cstring>

#include "platform/winsock/Winsock.h"

namespace winsock::detail {

namespace {

int WsaFromResolver(int gaiError) {
  switch (gaiError) {
    case 0:
      return 0;
    case EAI_NONAME:
      return WSAHOST_NOT_FOUND;
    case EAI_AGAIN:
      return WSATRY_AGAIN;
    case EAI_FAIL:
    case EAI_MEMORY:
    case EAI_SYSTEM:
      return WSANO_RECOVERY;
    default:  // EAI_NODATA, EAI_ADDRFAMILY: the name exists but has no IPv4 address
      return WSANO_DATA;
  }
}

constexpr int AlignUp(int n) {
  return (n + 7) & ~7;
}

struct Layout {
  int aliasList, addrList, addrBytes, strings, total;
};

Layout Plan(const HostData& host) {
  Layout l{};
  const int ptr = static_cast<int>(sizeof(char*));
  l.aliasList = AlignUp(static_cast<int>(sizeof(THostEnt)));
  l.addrList = l.aliasList + ptr * static_cast<int>(host.aliases.size() + 1);
  l.addrBytes = l.addrList + ptr * static_cast<int>(host.addresses.size() + 1);
  l.strings = l.addrBytes + 4 * static_cast<int>(host.addresses.size());
  l.total = l.strings + static_cast<int>(host.name.size() + 1);
  for (const std::string& a : host.aliases) l.total += static_cast<int>(a.size() + 1);
  return l;
}

// The caller's buffer need not be aligned for pointers, so every store is a byte copy.
void StorePointer(char* at, const void* value) {
  std::memcpy(at, &value, sizeof value);
}

char* StoreString(char*& cursor, const std::string& s) {
  char* start = cursor;
  std::memcpy(cursor, s.c_str(), s.size() + 1);
  cursor += s.size() + 1;
  return start;
}

}  // namespace

int ResolveName(const std::string& name, HostData& out) {
  addrinfo hints{};
  hints.ai_family = posix::kAfInet;
  hints.ai_socktype = SOCK_STREAM;  // one entry per address, not one per socket type
  hints.ai_flags = AI_CANONNAME;
  addrinfo* list = nullptr;
  int rc = ::getaddrinfo(name.c_str(), nullptr, &hints, &list);
  if (rc != 0) return WsaFromResolver(rc);
  out = HostData{};
  out.name = (list->ai_canonname != nullptr) ? list->ai_canonname : name;
  for (addrinfo* ai = list; ai != nullptr; ai = ai->ai_next) {
    if (ai->ai_family != posix::kAfInet) continue;
    std::uint32_t a = reinterpret_cast<const sockaddr_in*>(ai->ai_addr)->sin_addr.s_addr;
    if (std::find(out.addresses.begin(), out.addresses.end(), a) == out.addresses.end())
      out.addresses.push_back(a);
  }
  ::freeaddrinfo(list);
  if (out.name != name && !name.empty()) out.aliases.push_back(name);
  return out.addresses.empty() ? WSANO_DATA : 0;
}

int ResolveAddress(std::uint32_t address, HostData& out) {
  sockaddr_in sa{};
  sa.sin_family = posix::kAfInet;
  sa.sin_addr.s_addr = address;
  char host[NI_MAXHOST];
  int rc = ::getnameinfo(reinterpret_cast<const sockaddr*>(&sa), sizeof sa, host, sizeof host,
                         nullptr, 0, NI_NAMEREQD);
  if (rc != 0) return WsaFromResolver(rc);
  out = HostData{};
  out.name = host;
  out.addresses.push_back(address);
  return 0;
}

int HostEntSize(const HostData& host) {
  return Plan(host).total;
}

int WriteHostEnt(const HostData& host, char* buf, int bufLen) {
  const Layout l = Plan(host);
  if (buf == nullptr || bufLen < l.total) return 0;
  std::memset(buf, 0, static_cast<std::size_t>(l.total));
  char* cursor = buf + l.strings;
  THostEnt ent{};
  ent.h_name = StoreString(cursor, host.name);
  ent.h_aliases = reinterpret_cast<char**>(buf + l.aliasList);
  ent.h_addrtype = AF_INET;
  ent.h_length = 4;
  ent.h_addr_list = reinterpret_cast<char**>(buf + l.addrList);
  for (std::size_t i = 0; i < host.aliases.size(); ++i)
    StorePointer(buf + l.aliasList + i * sizeof(char*), StoreString(cursor, host.aliases[i]));
  for (std::size_t i = 0; i < host.addresses.size(); ++i) {
    char* bytes = buf + l.addrBytes + 4 * i;
    std::memcpy(bytes, &host.addresses[i], 4);
    StorePointer(buf + l.addrList + i * sizeof(char*), bytes);
  }
  std::memcpy(buf, &ent, sizeof ent);
  return l.total;
}

}  // namespace winsock::detail

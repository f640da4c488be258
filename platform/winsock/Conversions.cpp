// The system socket names first, before Winsock.h can meet their macros.
#include "platform/winsock/PosixNames.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/winsock/EntryPoints.h"
#include "platform/winsock/ErrorMap.h"
#include "platform/winsock/HostEntry.h"
#include "platform/winsock/ServiceTable.h"
#include "platform/winsock/Startup.h"

namespace winsock::api {

using namespace detail;

namespace {

// WinSock returns these records from storage of its own, valid until the thread's next
// call of the same kind; per-thread storage gives the same promise here.
struct ServiceStore {
  TServEnt ent{};
  std::string name, proto;
  char* aliases[1] = {nullptr};
};

struct ProtocolStore {
  TProtoEnt ent{};
  std::string name;
  char* aliases[1] = {nullptr};
};

thread_local std::vector<char> hostStore;
thread_local ServiceStore serviceStore;
thread_local ProtocolStore protocolStore;
thread_local char ntoaBuffer[16];

}  // namespace

THostEnt* GetHostByName(const char* name) {
  if (!RequireStartup()) return nullptr;
  if (name == nullptr) {
    Fail(WSAEFAULT);
    return nullptr;
  }
  HostData host;
  if (int error = ResolveName(name, host); error != 0) {
    Fail(error);
    return nullptr;
  }
  hostStore.assign(static_cast<std::size_t>(HostEntSize(host)), 0);
  WriteHostEnt(host, hostStore.data(), static_cast<int>(hostStore.size()));
  // The vector's storage comes from operator new, so it is aligned for the record.
  return reinterpret_cast<THostEnt*>(hostStore.data());
}

TServEnt* GetServByName(const char* name, const char* proto) {
  if (!RequireStartup()) return nullptr;
  if (name == nullptr) {
    Fail(WSAEFAULT);
    return nullptr;
  }
  ServiceEntry found;
  if (!FindService(name, proto, found)) {
    Fail(WSANO_DATA);
    return nullptr;
  }
  ServiceStore& st = serviceStore;
  st.name = found.name;
  st.proto = found.proto;
  st.ent.s_name = st.name.data();
  st.ent.s_aliases = st.aliases;
  st.ent.s_port = static_cast<std::int16_t>(::htons(found.port));
  st.ent.s_proto = st.proto.data();
  return &st.ent;
}

TProtoEnt* GetProtoByName(const char* name) {
  if (!RequireStartup()) return nullptr;
  if (name == nullptr) {
    Fail(WSAEFAULT);
    return nullptr;
  }
  ProtocolEntry found;
  if (!FindProtocol(name, found)) {
    Fail(WSANO_DATA);
    return nullptr;
  }
  ProtocolStore& st = protocolStore;
  st.name = found.name;
  st.ent.p_name = st.name.data();
  st.ent.p_aliases = st.aliases;
  st.ent.p_proto = static_cast<std::int16_t>(found.number);
  return &st.ent;
}

std::uint32_t InetAddr(const char* text) {
  in_addr a{};
  if (text == nullptr || ::inet_aton(text, &a) == 0) return INADDR_NONE;
  return a.s_addr;
}

char* InetNtoa(std::uint32_t addr) {
  in_addr a{};
  a.s_addr = addr;
  ::inet_ntop(posix::kAfInet, &a, ntoaBuffer, sizeof ntoaBuffer);
  return ntoaBuffer;
}

std::uint16_t Htons(std::uint16_t v) {
  return ::htons(v);
}
std::uint16_t Ntohs(std::uint16_t v) {
  return ::ntohs(v);
}

}  // namespace winsock::api

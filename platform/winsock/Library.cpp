#include <strings.h>

#include <atomic>
#include <cstring>

#include "platform/winsock/EntryPoints.h"

namespace winsock {

namespace {

constexpr std::uint32_t kModuleNotFound = 126;  // ERROR_MOD_NOT_FOUND
constexpr std::uint32_t kProcNotFound = 127;    // ERROR_PROC_NOT_FOUND
constexpr std::uint32_t kInvalidHandle = 6;     // ERROR_INVALID_HANDLE
constexpr std::uintptr_t kModule = 0x71AB0000;  // any non-zero value; there is one library

std::atomic<int> loadCount{0};
thread_local std::uint32_t lastOsError = 0;

struct Entry {
  const char* name;
  FARPROC proc;
};

// Every cast goes to void (*)(), the one function-pointer type that stands for any other;
// the caller casts back to the PFN_ type of the same name.
template <typename F>
FARPROC Proc(F f) {
  return reinterpret_cast<FARPROC>(f);
}

const Entry kEntries[] = {
    {"WSAStartup", Proc(&api::WSAStartup)},
    {"WSACleanup", Proc(&api::WSACleanup)},
    {"WSAGetLastError", Proc(&api::WSAGetLastError)},
    {"WSASetLastError", Proc(&api::WSASetLastError)},
    {"WSAAsyncSelect", Proc(&api::WSAAsyncSelect)},
    {"WSAAsyncGetHostByName", Proc(&api::WSAAsyncGetHostByName)},
    {"WSAAsyncGetHostByAddr", Proc(&api::WSAAsyncGetHostByAddr)},
    {"WSACancelAsyncRequest", Proc(&api::WSACancelAsyncRequest)},
    {"gethostbyname", Proc(&api::GetHostByName)},
    {"getservbyname", Proc(&api::GetServByName)},
    {"getprotobyname", Proc(&api::GetProtoByName)},
    {"inet_addr", Proc(&api::InetAddr)},
    {"inet_ntoa", Proc(&api::InetNtoa)},
    {"htons", Proc(&api::Htons)},
    {"ntohs", Proc(&api::Ntohs)},
    {"socket", Proc(&api::Socket)},
    {"bind", Proc(&api::Bind)},
    {"listen", Proc(&api::Listen)},
    {"accept", Proc(&api::Accept)},
    {"connect", Proc(&api::Connect)},
    {"closesocket", Proc(&api::CloseSocket)},
    {"shutdown", Proc(&api::Shutdown)},
    {"send", Proc(&api::Send)},
    {"sendto", Proc(&api::SendTo)},
    {"recv", Proc(&api::Recv)},
    {"recvfrom", Proc(&api::RecvFrom)},
    {"setsockopt", Proc(&api::SetSockOpt)},
    {"ioctlsocket", Proc(&api::IoctlSocket)},
    {"getsockname", Proc(&api::GetSockName)},
    {"getpeername", Proc(&api::GetPeerName)},
};

}  // namespace

std::uintptr_t LoadLibrary(const char* name) {
  // Windows compares module names without regard to case.
  if (name == nullptr || ::strcasecmp(name, "wsock32.dll") != 0) {
    lastOsError = kModuleNotFound;
    return 0;
  }
  ++loadCount;
  return kModule;
}

bool FreeLibrary(std::uintptr_t module) {
  int now = loadCount.load();
  do {
    if (module != kModule || now <= 0) {
      lastOsError = kInvalidHandle;
      return false;
    }
  } while (!loadCount.compare_exchange_weak(now, now - 1));
  return true;
}

FARPROC GetProcAddress(std::uintptr_t module, const char* name) {
  if (module != kModule || loadCount.load() <= 0) {
    lastOsError = kModuleNotFound;
    return nullptr;
  }
  // Export names are case-sensitive on Windows too.
  for (const Entry& e : kEntries)
    if (name != nullptr && std::strcmp(e.name, name) == 0) return e.proc;
  lastOsError = kProcNotFound;
  return nullptr;
}

std::uint32_t LastOsError() {
  return lastOsError;
}

}  // namespace winsock

// The system socket names first, before Winsock.h can meet their macros.
#include "platform/winsock/PosixNames.h"

#include <cerrno>
#include <cstring>

#include "platform/winsock/AddressRecord.h"
#include "platform/winsock/EntryPoints.h"
#include "platform/winsock/ErrorMap.h"
#include "platform/winsock/SocketCalls.h"

namespace winsock::api {

using namespace detail;

namespace {

constexpr int kTcpNoDelay = 0x0001;  // IPPROTO_TCP level
constexpr int kSoSndBuf = 0x1001, kSoRcvBuf = 0x1002;
constexpr int kSoDontLinger = ~SO_LINGER;
constexpr long kFionbio = static_cast<long>(0x8004667EL);

// A WinSock BOOL or int option: at least 4 bytes, read without alignment demands.
bool ReadInt(const char* value, int len, int& out) {
  if (value == nullptr || len < static_cast<int>(sizeof(int))) return false;
  std::memcpy(&out, value, sizeof out);
  return true;
}

int SetSystemOption(int fd, int level, int name, const void* value, socklen_t len) {
  return ::setsockopt(fd, level, name, value, len) == 0 ? 0 : FailFromErrno();
}

int SetLinger(int fd, const char* value, int len) {
  if (value == nullptr || len < static_cast<int>(sizeof(TLinger))) return Fail(WSAEFAULT);
  TLinger rec;
  std::memcpy(&rec, value, sizeof rec);
  linger l{rec.l_onoff != 0 ? 1 : 0, rec.l_linger};
  return SetSystemOption(fd, posix::kSolSocket, posix::kSoLinger, &l, sizeof l);
}

// Translates a SOL_SOCKET option whose value is a plain int; 0 when there is none.
int SystemSocketOption(int name) {
  switch (name) {
    case SO_REUSEADDR:
      return posix::kSoReuseAddr;
    case SO_KEEPALIVE:
      return posix::kSoKeepAlive;
    case SO_BROADCAST:
      return posix::kSoBroadcast;
    case kSoSndBuf:
      return SO_SNDBUF;
    case kSoRcvBuf:
      return SO_RCVBUF;
    default:
      return 0;
  }
}

int SetSocketLevelOption(int fd, int name, const char* value, int len) {
  if (name == SO_LINGER) return SetLinger(fd, value, len);
  int v;
  if (name == kSoDontLinger) {
    if (!ReadInt(value, len, v)) return Fail(WSAEFAULT);
    linger l{v != 0 ? 0 : 1, 0};
    return SetSystemOption(fd, posix::kSolSocket, posix::kSoLinger, &l, sizeof l);
  }
  const int sysName = SystemSocketOption(name);
  if (sysName == 0) return Fail(WSAENOPROTOOPT);
  if (!ReadInt(value, len, v)) return Fail(WSAEFAULT);
  // BOOL options: any non-zero value (the socket layer passes -1) means on.
  if (sysName != SO_SNDBUF && sysName != SO_RCVBUF) v = v != 0 ? 1 : 0;
  return SetSystemOption(fd, posix::kSolSocket, sysName, &v, sizeof v);
}

using NameCall = int (*)(int, sockaddr*, socklen_t*);

int QueryName(SOCKET s, TSockAddrIn* addr, int* len, NameCall call) {
  SocketPtr rec = CheckedSocket(s);
  if (!rec) return SOCKET_ERROR;
  if (addr == nullptr || len == nullptr || *len < static_cast<int>(sizeof(TSockAddrIn)))
    return Fail(WSAEFAULT);
  sockaddr_in sa{};
  socklen_t saLen = sizeof sa;
  if (call(rec->fd, reinterpret_cast<sockaddr*>(&sa), &saLen) != 0) return FailFromErrno();
  return FromSockAddr(sa, addr, len) ? 0 : SOCKET_ERROR;
}

}  // namespace

int SetSockOpt(SOCKET s, int level, int name, const char* value, int len) {
  SocketPtr rec = CheckedSocket(s);
  if (!rec) return SOCKET_ERROR;
  if (level == SOL_SOCKET) return SetSocketLevelOption(rec->fd, name, value, len);
  if (level == IPPROTO_TCP && name == kTcpNoDelay) {
    int v;
    if (!ReadInt(value, len, v)) return Fail(WSAEFAULT);
    v = v != 0 ? 1 : 0;
    return SetSystemOption(rec->fd, ::IPPROTO_TCP, TCP_NODELAY, &v, sizeof v);
  }
  return Fail(level == IPPROTO_TCP ? WSAENOPROTOOPT : WSAEINVAL);
}

int IoctlSocket(SOCKET s, long cmd, std::uint32_t* arg) {
  SocketPtr rec = CheckedSocket(s);
  if (!rec) return SOCKET_ERROR;
  if (arg == nullptr) return Fail(WSAEFAULT);
  if (cmd == FIONREAD) {
    int n = 0;
    if (::ioctl(rec->fd, posix::kFionread, &n) != 0) return FailFromErrno();
    *arg = static_cast<std::uint32_t>(n);
    return 0;
  }
  if (cmd == kFionbio) {
    // Notifications need a non-blocking socket, so WinSock refuses blocking mode then.
    if (*arg == 0 && rec->mask != 0) return Fail(WSAEINVAL);
    int flags = ::fcntl(rec->fd, F_GETFL);
    flags = *arg != 0 ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return ::fcntl(rec->fd, F_SETFL, flags) == 0 ? 0 : FailFromErrno();
  }
  return Fail(WSAEINVAL);
}

int GetSockName(SOCKET s, TSockAddrIn* addr, int* len) {
  return QueryName(s, addr, len, &::getsockname);
}

int GetPeerName(SOCKET s, TSockAddrIn* addr, int* len) {
  return QueryName(s, addr, len, &::getpeername);
}

}  // namespace winsock::api

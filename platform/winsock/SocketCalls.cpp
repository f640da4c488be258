// The system socket names first, before Winsock.h can meet their macros.
#include "platform/winsock/PosixNames.h"

#include "platform/winsock/SocketCalls.h"

#include <cerrno>

#include "platform/winsock/AddressRecord.h"
#include "platform/winsock/AsyncSelect.h"
#include "platform/winsock/EntryPoints.h"
#include "platform/winsock/ErrorMap.h"
#include "platform/winsock/SocketTable.h"
#include "platform/winsock/Startup.h"

namespace winsock {

namespace detail {

SocketPtr CheckedSocket(SOCKET s) {
  if (!RequireStartup()) return nullptr;
  SocketPtr rec = SocketTable::Instance().Find(s);
  if (!rec) Fail(WSAENOTSOCK);
  return rec;
}

namespace {

// close() with a lingering time blocks the calling thread until the data is out or the
// time is up, even on a non-blocking socket; that would freeze the loop. Such a socket is
// closed gracefully in the background instead (the kernel still delivers what is queued).
// Linger with no time keeps its meaning: an abortive close.
void AvoidBlockingLinger(int fd) {
  linger l{};
  socklen_t len = sizeof l;
  if (::getsockopt(fd, posix::kSolSocket, posix::kSoLinger, &l, &len) != 0) return;
  if (l.l_onoff == 0 || l.l_linger == 0) return;
  l = linger{0, 0};
  ::setsockopt(fd, posix::kSolSocket, posix::kSoLinger, &l, sizeof l);
}

void CloseRecord(const SocketPtr& rec) {
  StopEvents(*rec);
  AvoidBlockingLinger(rec->fd);
  // close() is not retried on EINTR: Linux has released the descriptor either way.
  ::close(rec->fd);
  rec->fd = -1;
}

}  // namespace

void CloseAllSockets() {
  for (SOCKET s : SocketTable::Instance().Handles())
    if (SocketPtr rec = SocketTable::Instance().Remove(s)) CloseRecord(rec);
}

}  // namespace detail

using namespace detail;

namespace api {

SOCKET Socket(int af, int type, int protocol) {
  if (!RequireStartup()) return INVALID_SOCKET;
  if (af != AF_INET) return Fail(WSAEAFNOSUPPORT);
  if (type != SOCK_STREAM && type != SOCK_DGRAM) return Fail(WSAESOCKTNOSUPPORT);
  // Non-blocking from birth: nothing in this library may ever stall the loop's thread.
  int fd =
      ::socket(posix::kAfInet,
               (type == SOCK_STREAM ? ::SOCK_STREAM : ::SOCK_DGRAM) | SOCK_NONBLOCK | SOCK_CLOEXEC,
               protocol);
  if (fd < 0) return FailFromErrno();
  SocketPtr rec = SocketTable::Instance().Add(fd, type == SOCK_STREAM);
  // A datagram socket can send and receive from the start.
  if (type == SOCK_DGRAM) rec->role = SocketRole::kConnected;
  return rec->handle;
}

int Bind(SOCKET s, const TSockAddrIn* addr, int len) {
  SocketPtr rec = CheckedSocket(s);
  sockaddr_in sa;
  if (!rec || !ToSockAddr(addr, len, sa)) return SOCKET_ERROR;
  if (::bind(rec->fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0)
    return FailFromErrno();
  return 0;
}

int Listen(SOCKET s, int backlog) {
  SocketPtr rec = CheckedSocket(s);
  if (!rec) return SOCKET_ERROR;
  if (!rec->stream) return Fail(WSAEOPNOTSUPP);
  if (rec->role == SocketRole::kConnected || rec->role == SocketRole::kConnecting)
    return Fail(WSAEISCONN);
  if (::listen(rec->fd, backlog) != 0) return FailFromErrno();
  NoteListening(rec);
  return 0;
}

SOCKET Accept(SOCKET s, TSockAddrIn* addr, int* len) {
  SocketPtr rec = CheckedSocket(s);
  if (!rec) return INVALID_SOCKET;
  if (rec->role != SocketRole::kListening) return Fail(WSAEINVAL);
  if (addr != nullptr && (len == nullptr || *len < static_cast<int>(sizeof(TSockAddrIn))))
    return Fail(WSAEFAULT);
  sockaddr_in sa{};
  socklen_t saLen = sizeof sa;
  int fd =
      ::accept4(rec->fd, reinterpret_cast<sockaddr*>(&sa), &saLen, SOCK_NONBLOCK | SOCK_CLOEXEC);
  NoteAccept(rec);  // the call re-enables FD_ACCEPT whether it succeeded or not
  if (fd < 0) return FailFromErrno();
  if (addr != nullptr) FromSockAddr(sa, addr, len);
  SocketPtr conn = SocketTable::Instance().Add(fd, true);
  conn->role = SocketRole::kConnected;
  // An accepted socket inherits the listening socket's notifications, as on WinSock.
  if (rec->mask != 0) SelectEvents(conn, rec->wnd, rec->msg, rec->mask);
  return conn->handle;
}

int CloseSocket(SOCKET s) {
  if (!RequireStartup()) return SOCKET_ERROR;
  SocketPtr rec = SocketTable::Instance().Remove(s);
  if (!rec) return Fail(WSAENOTSOCK);
  CloseRecord(rec);
  return 0;
}

int Shutdown(SOCKET s, int how) {
  SocketPtr rec = CheckedSocket(s);
  if (!rec) return SOCKET_ERROR;
  static constexpr int kHow[] = {SHUT_RD, SHUT_WR, SHUT_RDWR};
  if (how < SD_RECEIVE || how > SD_BOTH) return Fail(WSAEINVAL);
  if (::shutdown(rec->fd, kHow[how]) != 0) return FailFromErrno();
  if (how != SD_RECEIVE) rec->sendShutDown = true;
  return 0;
}

int WSAAsyncSelect(SOCKET s, HWND wnd, UINT msg, long events) {
  SocketPtr rec = CheckedSocket(s);
  if (!rec) return SOCKET_ERROR;
  // Notifications need a non-blocking socket, whatever FIONBIO said before.
  int flags = ::fcntl(rec->fd, F_GETFL);
  if (flags >= 0 && (flags & O_NONBLOCK) == 0) ::fcntl(rec->fd, F_SETFL, flags | O_NONBLOCK);
  SelectEvents(rec, wnd, msg, events);
  return 0;
}

}  // namespace api
}  // namespace winsock

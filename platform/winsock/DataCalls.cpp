// The system socket names first, before Winsock.h can meet their macros.
#include "platform/winsock/PosixNames.h"

#include <cerrno>

#include "platform/winsock/AddressRecord.h"
#include "platform/winsock/AsyncSelect.h"
#include "platform/winsock/EntryPoints.h"
#include "platform/winsock/ErrorMap.h"
#include "platform/winsock/SocketCalls.h"

namespace winsock::api {

using namespace detail;

namespace {

// WinSock's flag bits as Linux's; -1 for bits Linux has no meaning for here.
int SystemFlags(int flags) {
  if (flags & ~(MSG_OOB | MSG_PEEK)) return -1;
  return ((flags & MSG_OOB) ? ::MSG_OOB : 0) | ((flags & MSG_PEEK) ? ::MSG_PEEK : 0);
}

bool BadBuffer(const char* buf, int len) {
  return len < 0 || (buf == nullptr && len > 0);
}

int SendFailed(const SocketPtr& rec) {
  if (errno == EAGAIN || errno == EWOULDBLOCK) {
    NoteSendBlocked(rec);  // FD_WRITE once the socket can take data again
    return Fail(WSAEWOULDBLOCK);
  }
  if (errno == EPIPE && rec->sendShutDown) return Fail(WSAESHUTDOWN);
  return FailFromErrno();
}

int SendChecked(const SocketPtr& rec, const char* buf, int len, int flags, const sockaddr_in* to) {
  if (BadBuffer(buf, len)) return Fail(WSAEFAULT);
  const int sysFlags = SystemFlags(flags);
  if (sysFlags < 0) return Fail(WSAEOPNOTSUPP);
  if (rec->stream && rec->role != SocketRole::kConnected) return Fail(WSAENOTCONN);
  // MSG_NOSIGNAL: a peer that went away must give an error, not SIGPIPE.
  ssize_t n = to != nullptr
                  ? ::sendto(rec->fd, buf, static_cast<std::size_t>(len), sysFlags | MSG_NOSIGNAL,
                             reinterpret_cast<const sockaddr*>(to), sizeof *to)
                  : ::send(rec->fd, buf, static_cast<std::size_t>(len), sysFlags | MSG_NOSIGNAL);
  if (n < 0) return SendFailed(rec);
  // Where WinSock would take everything or say "would block", Linux takes what fits and
  // returns a short count. A short count means the buffer is full just the same, and a
  // sender that now waits for FD_WRITE must get one.
  if (rec->stream && n < len) NoteSendBlocked(rec);
  return static_cast<int>(n);
}

// A zero-length read on a stream tells whether the connection is still there without
// taking anything: 0 for data or end of stream, would-block when simply idle.
int ProbeStream(const SocketRecord& rec) {
  char byte;
  ssize_t n = ::recv(rec.fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  return n >= 0 ? 0 : FailFromErrno();
}

// One datagram. WinSock reports a datagram larger than the buffer as WSAEMSGSIZE (after
// filling the buffer); Linux would silently cut it.
int ReceiveDatagram(const SocketRecord& rec, char* buf, int len, int sysFlags, sockaddr_in* from) {
  iovec iov{buf, static_cast<std::size_t>(len)};
  msghdr mh{};
  mh.msg_name = from;
  mh.msg_namelen = from != nullptr ? sizeof *from : 0;
  mh.msg_iov = &iov;
  mh.msg_iovlen = 1;
  ssize_t n = ::recvmsg(rec.fd, &mh, sysFlags);
  if (n < 0) return FailFromErrno();
  if (mh.msg_flags & MSG_TRUNC) return Fail(WSAEMSGSIZE);
  return static_cast<int>(n);
}

int ReceiveChecked(const SocketPtr& rec, char* buf, int len, int flags, sockaddr_in* from) {
  if (BadBuffer(buf, len)) return Fail(WSAEFAULT);
  const int sysFlags = SystemFlags(flags);
  if (sysFlags < 0) return Fail(WSAEOPNOTSUPP);
  int result;
  if (!rec->stream && rec->pendingDatagramError != 0) {
    result = Fail(rec->pendingDatagramError);
    rec->pendingDatagramError = 0;
  } else if (!rec->stream) {
    result = ReceiveDatagram(*rec, buf, len, sysFlags, from);
  } else if (rec->role != SocketRole::kConnected) {
    result = Fail(WSAENOTCONN);
  } else if (len == 0) {
    result = ProbeStream(*rec);
  } else {
    ssize_t n = ::recv(rec->fd, buf, static_cast<std::size_t>(len), sysFlags);
    result = n < 0 ? FailFromErrno() : static_cast<int>(n);
  }
  // Every receive, successful or not, re-enables FD_READ (after it, so what is left counts).
  NoteReceive(rec);
  return result;
}

}  // namespace

int Send(SOCKET s, const char* buf, int len, int flags) {
  SocketPtr rec = CheckedSocket(s);
  return rec ? SendChecked(rec, buf, len, flags, nullptr) : SOCKET_ERROR;
}

int SendTo(SOCKET s, const char* buf, int len, int flags, const TSockAddrIn* to, int toLen) {
  SocketPtr rec = CheckedSocket(s);
  if (!rec) return SOCKET_ERROR;
  // A stream socket ignores the address, as on WinSock.
  if (to == nullptr || rec->stream) return SendChecked(rec, buf, len, flags, nullptr);
  sockaddr_in sa;
  if (!ToSockAddr(to, toLen, sa)) return SOCKET_ERROR;
  return SendChecked(rec, buf, len, flags, &sa);
}

int Recv(SOCKET s, char* buf, int len, int flags) {
  SocketPtr rec = CheckedSocket(s);
  return rec ? ReceiveChecked(rec, buf, len, flags, nullptr) : SOCKET_ERROR;
}

int RecvFrom(SOCKET s, char* buf, int len, int flags, TSockAddrIn* from, int* fromLen) {
  SocketPtr rec = CheckedSocket(s);
  if (!rec) return SOCKET_ERROR;
  if (from == nullptr || rec->stream) return ReceiveChecked(rec, buf, len, flags, nullptr);
  if (fromLen == nullptr || *fromLen < static_cast<int>(sizeof(TSockAddrIn)))
    return Fail(WSAEFAULT);
  sockaddr_in sa{};
  int result = ReceiveChecked(rec, buf, len, flags, &sa);
  // On WSAEMSGSIZE the sender is known as well, so it is reported too.
  if (result >= 0 || LastWsaError() == WSAEMSGSIZE) FromSockAddr(sa, from, fromLen);
  return result;
}

}  // namespace winsock::api

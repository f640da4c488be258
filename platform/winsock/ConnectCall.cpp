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

// Errors that end a connection attempt, as opposed to errors in the call itself. WinSock
// reports the former through FD_CONNECT, even when Linux knows them at once (loopback).
bool EndsAttempt(int error) {
  return error == 0 || error == ECONNREFUSED || error == ENETUNREACH || error == EHOSTUNREACH ||
         error == ETIMEDOUT || error == ECONNRESET;
}

int CheckConnectable(const SocketRecord& rec) {
  switch (rec.role) {
    case SocketRole::kConnecting:
      return WSAEALREADY;
    case SocketRole::kConnected:
      return WSAEISCONN;
    case SocketRole::kListening:
      return WSAEINVAL;
    default:
      return 0;
  }
}

}  // namespace

int Connect(SOCKET s, const TSockAddrIn* addr, int len) {
  SocketPtr rec = CheckedSocket(s);
  sockaddr_in sa;
  if (!rec || !ToSockAddr(addr, len, sa)) return SOCKET_ERROR;
  const sockaddr* target = reinterpret_cast<const sockaddr*>(&sa);
  if (!rec->stream) {
    // A datagram "connection" only names the default peer; it is complete at once.
    return ::connect(rec->fd, target, sizeof sa) == 0 ? 0 : FailFromErrno();
  }
  if (int error = CheckConnectable(*rec)) return Fail(error);
  const int error = ::connect(rec->fd, target, sizeof sa) == 0 ? 0 : errno;
  if (error == EINPROGRESS || error == EINTR) {
    NoteConnectStarted(rec);
    return Fail(WSAEWOULDBLOCK);
  }
  if (!EndsAttempt(error)) return Fail(WsaFromErrno(error));
  const int wsaError = WsaFromErrno(error);
  NoteConnectFinished(rec, wsaError);
  if (rec->mask != 0) return Fail(WSAEWOULDBLOCK);
  return wsaError == 0 ? 0 : Fail(wsaError);
}

}  // namespace winsock::api

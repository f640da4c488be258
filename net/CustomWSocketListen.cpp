#include "net/CustomWSocket.h"
#include "platform/MessageLoop.h"

namespace {

constexpr long kListenEvents =
    winsock::FD_READ | winsock::FD_WRITE | winsock::FD_ACCEPT | winsock::FD_CLOSE;
constexpr long kSessionEvents =
    winsock::FD_READ | winsock::FD_WRITE | winsock::FD_CONNECT | winsock::FD_CLOSE;
constexpr int kPausedFlushRetryMs = 10;

}  // namespace

void TCustomWSocket::Listen() {
  // A second Listen on an open socket would replace its handle, leaving the old one open
  // and still notifying this window; refuse it as Connect does.
  if (FHSocket != winsock::INVALID_SOCKET && FState != wsClosed)
    return ReportError("listen: Socket already in use");
  const char* missing = !FPortAssigned    ? "listen: port not assigned"
                        : !FProtoAssigned ? "listen: protocol not assigned"
                        : !FAddrAssigned  ? "listen: address not assigned"
                                          : nullptr;
  if (missing) {
    ws::WSASetLastError(winsock::WSAEINVAL);
    return ReportWinsockError(missing);
  }
  try {
    ResolveEndpoints();
  } catch (std::exception& e) {
    return ReportError(std::string("listen: ") + e.what());
  }
  DiscardSendQueue();
  StartConnectionState();
  FHSocket = ws::socket(winsock::AF_INET, FType, FProto);
  if (FHSocket == winsock::INVALID_SOCKET) return ReportWinsockError("socket");
  if (ws::bind(FHSocket, &Fsin, sizeof Fsin) == winsock::SOCKET_ERROR) {
    // The state is still wsClosed here, so Close would leave the new handle open: close it
    // directly, keeping the bind's error for the report.
    int code = ws::WSAGetLastError();
    ws::closesocket(FHSocket);
    FHSocket = winsock::INVALID_SOCKET;
    ws::WSASetLastError(code);
    return ReportWinsockError("Bind");
  }
  const winsock::SOCKET handle = FHSocket;
  ChangeState(wsBound);
  if (FType == winsock::SOCK_DGRAM) {
    ChangeState(wsListening);
    ChangeState(wsConnected);
    NotifySessionConnected(0);
    // The handler may have closed the socket or opened another one; neither is this
    // Listen's to register for notifications any more.
    if (FHSocket != handle) return;
  } else {
    if (ws::listen(FHSocket, 5) == winsock::SOCKET_ERROR) return ReportWinsockError("Listen");
    ChangeState(wsListening);
  }
  if (ws::WSAAsyncSelect(FHSocket, FWindowHandle, SocketNotifyMessage, kListenEvents) != 0)
    ReportWinsockError("WSAASyncSelect");
}

winsock::SOCKET TCustomWSocket::Accept() {
  if (FState != wsListening) {
    ws::WSASetLastError(winsock::WSAEINVAL);
    ReportWinsockError("not a listening socket");
    return winsock::INVALID_SOCKET;
  }
  int len = sizeof Fsin;
  FASocket = ws::accept(FHSocket, &Fsin, &len);
  if (FASocket == winsock::INVALID_SOCKET) {
    ReportWinsockError("Accept");
    return winsock::INVALID_SOCKET;
  }
  return FASocket;
}

void TCustomWSocket::Dup(winsock::SOCKET newHSocket) {
  if (newHSocket == 0 || newHSocket == winsock::INVALID_SOCKET) {
    ws::WSASetLastError(winsock::WSAEINVAL);
    return ReportWinsockError("Dup");
  }
  if (FState != wsClosed) {
    int result = ws::closesocket(FHSocket);
    FHSocket = winsock::INVALID_SOCKET;
    if (result != 0) return ReportWinsockError("Dup (closesocket)");
    ChangeState(wsClosed);
  }
  // Bytes still queued belong to the connection that went before, never to this one.
  DiscardSendQueue();
  StartConnectionState();
  FHSocket = newHSocket;
  SetLingerOption();
  if (ws::WSAAsyncSelect(FHSocket, FWindowHandle, SocketNotifyMessage, kSessionEvents) != 0)
    return ReportWinsockError("WSAAsyncSelect");
  ChangeState(wsConnected);
}

int TCustomWSocket::Pause() {
  FPaused = true;
  return ws::WSAAsyncSelect(FHSocket, FWindowHandle, 0, 0);
}

int TCustomWSocket::Resume() {
  FPaused = false;
  // A listening socket needs FD_ACCEPT back, or it would never report a connection again.
  long events = FState == wsListening ? kListenEvents : kSessionEvents;
  return ws::WSAAsyncSelect(FHSocket, FWindowHandle, SocketNotifyMessage, events);
}

void TCustomWSocket::Flush() {
  while (FHSocket != winsock::INVALID_SOCKET && !FAllSent) {
    // A failure that waiting cannot cure ends the flush; no FD_WRITE would come to end it.
    if (!TryToSend()) return;
    PumpMessages();
    // Sleep until the next notification instead of spinning while the peer is slow. A
    // paused socket gets no FD_WRITE to wake it, so it looks again after a short nap.
    if (FHSocket != winsock::INVALID_SOCKET && !FAllSent)
      WaitMessage(FPaused ? kPausedFlushRetryMs : -1);
  }
}

void TCustomWSocket::WaitUntilClosed() {
  while (FHSocket != winsock::INVALID_SOCKET && FState != wsClosed) {
    PumpMessages();
    if (FHSocket == winsock::INVALID_SOCKET) break;
    std::uint32_t pending = 0;
    if (ws::ioctlsocket(FHSocket, winsock::FIONREAD, &pending) == winsock::SOCKET_ERROR) break;
    if (pending > 0) NotifyDataAvailable(0);
    char probe = 0;
    if (FHSocket != winsock::INVALID_SOCKET && RecvRaw(&probe, 0, 0) < 1) {
      FLastError = ws::WSAGetLastError();
      if (FLastError != winsock::WSAEWOULDBLOCK) break;
    }
    PumpMessages();
    if (FHSocket != winsock::INVALID_SOCKET && FState != wsClosed) WaitMessage(-1);
  }
}

int TCustomWSocket::ReceiveFrom(void* buffer, int bufferSize, winsock::TSockAddrIn& from,
                                int& fromLen) {
  int count = RecvFromRaw(buffer, bufferSize, from, fromLen);
  if (count < 0)
    FLastError = ws::WSAGetLastError();
  else
    FReadCount += count;
  return count;
}

int TCustomWSocket::RecvFromRaw(void* buffer, int bufferSize, winsock::TSockAddrIn& from,
                                int& fromLen) {
  return ws::recvfrom(FHSocket, static_cast<char*>(buffer), bufferSize, 0, &from, &fromLen);
}

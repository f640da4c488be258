#include "net/CustomWSocket.h"

namespace {

constexpr long kConnectEvents = winsock::FD_READ | winsock::FD_WRITE | winsock::FD_ACCEPT |
                                winsock::FD_CONNECT | winsock::FD_CLOSE;

}  // namespace

void TCustomWSocket::ResolveEndpoints() {
  if (!FProtoResolved) {
    FProto = WSocketResolveProto(FProtoStr);
    FType = FProto == winsock::IPPROTO_UDP ? winsock::SOCK_DGRAM : winsock::SOCK_STREAM;
    FProtoResolved = true;
  }
  if (!FPortResolved) {
    FPortNum = WSocketResolvePort(FPortStr, FProtoStr);
    Fsin.sin_port = ws::htons(FPortNum);
    FPortResolved = true;
  }
  if (!FLocalPortResolved) {
    FLocalPortNum = WSocketResolvePort(FLocalPortStr, FProtoStr);
    FLocalPortResolved = true;
  }
  if (!FAddrResolved) {
    Fsin.sin_addr = WSocketResolveHost(FAddrStr);
    FAddrResolved = true;
  }
}

// The options a new socket gets before it connects; false when one failed (reported).
bool TCustomWSocket::ApplyConnectOptions() {
  const std::int32_t on = -1;
  const char* option = reinterpret_cast<const char*>(&on);
  if (FType == winsock::SOCK_DGRAM) {
    BindLocal();
    if (Fsin.sin_addr == winsock::INADDR_NONE &&
        ws::setsockopt(FHSocket, winsock::SOL_SOCKET, winsock::SO_BROADCAST, option, 4) ==
            winsock::SOCKET_ERROR) {
      ReportWinsockError("setsockopt(SO_BROADCAST)");
      return false;
    }
    return true;
  }
  if (FLocalPortNum != 0) BindLocal();
  SetLingerOption();
  if (ws::setsockopt(FHSocket, winsock::SOL_SOCKET, winsock::SO_KEEPALIVE, option, 4) ==
      winsock::SOCKET_ERROR) {
    ReportWinsockError("setsockopt(SO_KEEPALIVE)");
    return false;
  }
  if (ws::setsockopt(FHSocket, winsock::SOL_SOCKET, winsock::SO_REUSEADDR, option, 4) ==
      winsock::SOCKET_ERROR) {
    ReportWinsockError("setsockopt(SO_REUSEADDR)");
    return false;
  }
  return true;
}

void TCustomWSocket::Connect() {
  if (ConnectionInUse()) return ReportError("Connect: Socket already in use");
  if (!FPortAssigned) return ReportError("Connect: No Port Specified");
  if (!FAddrAssigned) return ReportError("Connect: No IP Address Specified");
  if (!FProtoAssigned) return ReportError("Connect: No Protocol Specified");
  try {
    ResolveEndpoints();
  } catch (std::exception& e) {
    return ReportError(std::string("connect: ") + e.what());
  }
  DiscardSendQueue();
  StartConnectionState();
  FHSocket = ws::socket(winsock::AF_INET, FType, FProto);
  if (FHSocket == winsock::INVALID_SOCKET) return ReportWinsockError("Connect (socket)");
  ChangeState(wsOpened);

  if (!ApplyConnectOptions()) return;
  if (ws::WSAAsyncSelect(FHSocket, FWindowHandle, SocketNotifyMessage, kConnectEvents) != 0)
    return ReportWinsockError("WSAAsyncSelect");

  if (FType == winsock::SOCK_DGRAM) {
    ChangeState(wsConnected);
    NotifySessionConnected(0);
    return;
  }
  if (ws::connect(FHSocket, &Fsin, sizeof Fsin) == 0 ||
      ws::WSAGetLastError() == winsock::WSAEWOULDBLOCK) {
    // Even an immediate success waits for FD_CONNECT, so the connected state always comes
    // together with OnSessionConnected.
    ChangeState(wsConnecting);
    return;
  }
  FLastError = ws::WSAGetLastError();
  ReportWinsockError("Connect");
}

void TCustomWSocket::BindLocal() {
  winsock::TSockAddrIn local = {};
  local.sin_family = winsock::AF_INET;
  local.sin_port = ws::htons(FLocalPortNum);
  local.sin_addr = winsock::INADDR_ANY;
  if (ws::bind(FHSocket, &local, sizeof local) == winsock::SOCKET_ERROR)
    return ReportErrorFmt("winsock.bind failed, error #%d", ws::WSAGetLastError());
  int len = sizeof local;
  if (ws::getsockname(FHSocket, &local, &len) == winsock::SOCKET_ERROR)
    return ReportErrorFmt("winsock.getsockname failed, error #%d", ws::WSAGetLastError());
  FLocalPortNum = ws::ntohs(local.sin_port);
  FLocalPortStr = std::to_string(FLocalPortNum);
}

void TCustomWSocket::HandleSocketNotification(WPARAM wParam, LPARAM lParam) {
  const winsock::SOCKET socket = static_cast<winsock::SOCKET>(wParam);
  // Without a handle nothing can be current: the FD_WRITE that Send posts after a send
  // that found the connection broken carries INVALID_SOCKET and must not report data sent.
  if (FHSocket == winsock::INVALID_SOCKET || socket != FHSocket || FPaused) return;
  const std::uint16_t events = LOWORD(lParam);
  const std::uint16_t error = HIWORD(lParam);
  // A handler may close the socket (or start a new one) while one event is handled; the
  // remaining bits of this message belong to the old handle and are dropped.
  auto stale = [&] { return FHSocket != socket || FPaused; };

  if (events & winsock::FD_CONNECT) {
    ChangeState(wsConnected);
    NotifySessionConnected(error);
    // A handler that gave up on this attempt may have started the next one already; the
    // close of the failed attempt must not reach it.
    if (error != 0 && FHSocket == socket && FState != wsClosed) Close();
    if (stale()) return;
  }
  if (events & winsock::FD_READ) {
    ReadLoop(error);
    if (stale()) return;
  }
  if (events & winsock::FD_WRITE) {
    TryToSend();
    // A send that met a broken connection has closed the socket and reported the close;
    // the reset defaults then read as "all sent", which nothing was.
    if (stale()) return;
    if (FAllSent) NotifyDataSent(error);
    if (stale()) return;
  }
  if (events & winsock::FD_ACCEPT) {
    NotifySessionAvailable(error);
    if (stale()) return;
  }
  if ((events & winsock::FD_CLOSE) && FState != wsConnecting) HandlePeerClose(socket, error);
}

void TCustomWSocket::HandlePeerClose(winsock::SOCKET socket, std::uint16_t error) {
  ReadLoop(0);
  // The last read may already have closed the socket (a handler, or a failed SOCKS
  // negotiation); that close reported the end and reset the close-reported flag. Later,
  // the handler of OnSessionClosed may close the socket itself, or connect again.
  auto closeIfStill = [&] {
    if (FHSocket == socket && FState != wsClosed) Close();
  };
  if (FHSocket != socket || FPaused) return;
  if (OnSessionClosed && !FCloseInvoked) {
    FCloseInvoked = true;
    try {
      NotifySessionClosed(error);
    } catch (...) {
      // A handler's exception must not leave the ended connection open: the close-reported
      // flag would stay set, and the next connection's close would go unheard.
      closeIfStill();
      throw;
    }
  }
  closeIfStill();
}

void TCustomWSocket::ReadLoop(std::uint16_t error) {
  char scratch[1024];
  // The handler is expected to read on every call; one that reads nothing would otherwise
  // be called again forever, so the loop also ends when the pending count stops falling.
  std::uint32_t previousPending = UINT32_MAX;
  try {
    for (;;) {
      FLastError = 0;
      if (!NotifyDataAvailable(error)) {
        if (RecvRaw(scratch, sizeof scratch, 0) == winsock::SOCKET_ERROR) {
          FLastError = ws::WSAGetLastError();
          if (FLastError == winsock::WSAEWOULDBLOCK) {
            FLastError = 0;
            break;
          }
        }
      }
      if (FLastError != 0 || FHSocket == winsock::INVALID_SOCKET) break;
      std::uint32_t pending = 0;
      if (ws::ioctlsocket(FHSocket, winsock::FIONREAD, &pending) == winsock::SOCKET_ERROR) {
        FLastError = ws::WSAGetLastError();
        break;
      }
      if (pending == 0 || pending >= previousPending) break;
      previousPending = pending;
    }
  } catch (...) {
    // A handler's exception ends delivery for this notification and goes no further.
  }
}

int TCustomWSocket::RecvRaw(void* buffer, int bufferSize, int flags) {
  return ws::recv(FHSocket, static_cast<char*>(buffer), bufferSize, flags);
}

int TCustomWSocket::Receive(void* buffer, int bufferSize) {
  int count = RecvRaw(buffer, bufferSize, 0);
  if (count < 0)
    FLastError = ws::WSAGetLastError();
  else
    FReadCount += count;
  return count;
}

std::string TCustomWSocket::ReceiveStr() {
  int count = GetRcvdCount();
  if (count <= 0) return {};
  std::string result(static_cast<size_t>(count), '\0');
  int got = RecvRaw(result.data(), count, 0);
  if (got <= 0) return {};
  result.resize(static_cast<size_t>(got));
  return result;
}

int TCustomWSocket::GetRcvdCount() {
  std::uint32_t pending = 0;
  if (ws::ioctlsocket(FHSocket, winsock::FIONREAD, &pending) == winsock::SOCKET_ERROR) {
    ReportWinsockError("ioctlSocket");
    return -1;
  }
  return static_cast<int>(pending);
}

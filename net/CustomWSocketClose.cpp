#include "net/CustomWSocket.h"

void TCustomWSocket::CloseConnection(bool shutdownFirst, std::uint16_t error) {
  if (FHSocket == winsock::INVALID_SOCKET) {
    if (FState != wsClosed) EndConnection(false, error);
    return;
  }
  if (FState == wsClosed) return;
  if (shutdownFirst) {
    Shutdown(winsock::SD_SEND);
    KeepUnsentDataOnClose();
  }
  for (;;) {
    if (ws::closesocket(FHSocket) == 0) break;
    FLastError = ws::WSAGetLastError();
    if (FLastError == winsock::WSAEWOULDBLOCK) {
      PumpMessages();
      continue;
    }
    if (FLastError == winsock::WSANOTINITIALISED) break;
    FHSocket = winsock::INVALID_SOCKET;
    return ReportWinsockError("Disconnect (closesocket)");
  }
  FHSocket = winsock::INVALID_SOCKET;
  EndConnection(true, error);
}

void TCustomWSocket::EndConnection(bool report, std::uint16_t error) {
  // The reset must follow whatever the handlers do: skipped after an exception, it would
  // leave the close-reported flag set, and the next connection's close would go unheard.
  try {
    ChangeState(wsClosed);
    if (report && !InDestroyingState() && !FCloseInvoked && OnSessionClosed) {
      FCloseInvoked = true;
      NotifySessionClosed(error);
    }
  } catch (...) {
    FinishClose();
    throw;
  }
  FinishClose();
}

void TCustomWSocket::FinishClose() {
  // A handler that connected again owns the socket now; the reset would cut its new
  // connection loose and leave the handle open, unreachable.
  if (FHSocket != winsock::INVALID_SOCKET || FState != wsClosed) return;
  try {
    ResetDefaults();
  } catch (...) {
  }
}

bool TCustomWSocket::ConnectionInUse() {
  if (FHSocket == winsock::INVALID_SOCKET || FState == wsClosed) return false;
  if (!FCloseInvoked) return true;
  // The peer's close has been reported; only the close that follows the handler is left of
  // this connection, and the new one takes its place.
  ws::closesocket(FHSocket);
  FHSocket = winsock::INVALID_SOCKET;
  ChangeState(wsClosed);
  return false;
}

void TCustomWSocket::StartConnectionState() {
  FCloseInvoked = false;
  FPaused = false;
  FReadCount = 0;
}

// Linger on with a time of 0 (the default) turns closesocket into a reset that throws away
// whatever the system has not yet delivered, so a graceful close would lose the end of
// the data. For a graceful close the option is switched off: the system then finishes
// sending in the background.
void TCustomWSocket::KeepUnsentDataOnClose() {
  if (FLingerOnOff != wsLingerOn || (FLingerTimeout & 0xFFFF) != 0) return;
  if (FType != winsock::SOCK_STREAM) return;
  winsock::TLinger off = {0, 0};
  ws::setsockopt(FHSocket, winsock::SOL_SOCKET, winsock::SO_LINGER,
                 reinterpret_cast<const char*>(&off), sizeof off);
}

void TCustomWSocket::Close() {
  CloseConnection(true, 0);
}

void TCustomWSocket::Abort() {
  CancelDnsLookup();
  DiscardSendQueue();
  if (FState == wsConnected && FProto == winsock::IPPROTO_TCP) {
    FLingerOnOff = wsLingerOff;
    SetLingerOption();
  }
  CloseConnection(false, 0);
}

void TCustomWSocket::Shutdown(int how) {
  if (FHSocket != winsock::INVALID_SOCKET) ws::shutdown(FHSocket, how);
}

void TCustomWSocket::SetLingerOption() {
  if (FLingerOnOff == wsLingerNoSet) return;
  if (FHSocket == winsock::INVALID_SOCKET)
    return ReportError("Cannot set linger option at this time");
  winsock::TLinger linger = {static_cast<std::uint16_t>(FLingerOnOff),
                             static_cast<std::uint16_t>(FLingerTimeout & 0xFFFF)};
  if (ws::setsockopt(FHSocket, winsock::SOL_SOCKET, winsock::SO_LINGER,
                     reinterpret_cast<const char*>(&linger),
                     sizeof linger) == winsock::SOCKET_ERROR)
    ReportWinsockError("setsockopt(SO_LINGER)");
}

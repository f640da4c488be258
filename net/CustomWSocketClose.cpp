#include "net/CustomWSocket.h"

void TCustomWSocket::CloseConnection(bool shutdownFirst, std::uint16_t error) {
  if (FHSocket == winsock::INVALID_SOCKET) {
    if (FState != wsClosed) {
      ChangeState(wsClosed);
      ResetDefaults();
    }
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
  ChangeState(wsClosed);
  if (!InDestroyingState() && !FCloseInvoked && OnSessionClosed) {
    FCloseInvoked = true;
    NotifySessionClosed(error);
  }
  try {
    ResetDefaults();
  } catch (...) {
  }
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

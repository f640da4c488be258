#include <cstdarg>
#include <cstdio>

#include "net/CustomWSocket.h"

void TCustomWSocket::ReportError(const std::string& message) {
  if (OnError) {
    NotifyError();
    return;
  }
  throw ESocketException(message);
}

void TCustomWSocket::ReportErrorFmt(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  ReportError(text);
}

void TCustomWSocket::ReportWinsockError(const std::string& functionName) {
  int code = ws::WSAGetLastError();
  std::string message = "Error " + std::to_string(code) + " in function " + functionName + "\r\n" +
                        WinsockErrorText(code);
  if (code == winsock::WSAECONNRESET || code == winsock::WSAENOTCONN) {
    if (FHSocket != winsock::INVALID_SOCKET) ws::closesocket(FHSocket);
    FHSocket = winsock::INVALID_SOCKET;
    ChangeState(wsClosed);
  }
  FLastError = code;
  ReportError(message);
}

void TCustomWSocket::HandleEventException(std::exception& e) {
  bool canClose = true;
  if (OnBgException) {
    try {
      OnBgException(this, e, canClose);
    } catch (...) {
    }
  }
  if (!canClose) return;
  try {
    Abort();
  } catch (...) {
  }
}

bool TCustomWSocket::NotifyDataAvailable(std::uint16_t error) {
  // A copy, so that a handler may reassign or clear its own event while it runs.
  TDataAvailable handler = OnDataAvailable;
  if (!handler) return false;
  handler(this, error);
  return true;
}

void TCustomWSocket::NotifySessionAvailable(std::uint16_t error) {
  if (auto handler = OnSessionAvailable) handler(this, error);
}

void TCustomWSocket::NotifySessionConnected(std::uint16_t error) {
  if (auto handler = OnSessionConnected) handler(this, error);
}

void TCustomWSocket::NotifySessionClosed(std::uint16_t error) {
  if (auto handler = OnSessionClosed) handler(this, error);
}

void TCustomWSocket::NotifyDataSent(std::uint16_t error) {
  if (auto handler = OnDataSent) handler(this, error);
}

void TCustomWSocket::NotifyChangeState(TSocketState oldState, TSocketState newState) {
  if (auto handler = OnChangeState) handler(this, oldState, newState);
}

void TCustomWSocket::NotifyDnsLookupDone(std::uint16_t error) {
  if (auto handler = OnDnsLookupDone) handler(this, error);
}

void TCustomWSocket::NotifyError() {
  if (auto handler = OnError) handler(this);
}

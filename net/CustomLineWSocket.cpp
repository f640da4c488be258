#include "net/CustomLineWSocket.h"

// Pass-through for now: line mode off delivers everything as the base does.

TCustomLineWSocket::TCustomLineWSocket(TNetComponent* owner) : TCustomSocksWSocket(owner) {}

TCustomLineWSocket::~TCustomLineWSocket() = default;

void TCustomLineWSocket::SetLineMode(bool value) {
  FLineMode = value;
}

LRESULT TCustomLineWSocket::WindowProcedure(UINT msg, WPARAM wParam, LPARAM lParam) {
  return TCustomSocksWSocket::WindowProcedure(msg, wParam, lParam);
}

int TCustomLineWSocket::GetRcvdCount() {
  return TCustomSocksWSocket::GetRcvdCount();
}

bool TCustomLineWSocket::NotifyDataAvailable(std::uint16_t error) {
  return TCustomSocksWSocket::NotifyDataAvailable(error);
}

void TCustomLineWSocket::NotifySessionClosed(std::uint16_t error) {
  TCustomSocksWSocket::NotifySessionClosed(error);
}

int TCustomLineWSocket::RecvRaw(void* buffer, int bufferSize, int flags) {
  return TCustomSocksWSocket::RecvRaw(buffer, bufferSize, flags);
}

void TCustomLineWSocket::EditLine(int& len) {
  (void)len;
}

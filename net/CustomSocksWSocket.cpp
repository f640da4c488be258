#include "net/CustomSocksWSocket.h"

// Pass-through for now: without a SOCKS server every operation is the base one.

TCustomSocksWSocket::TCustomSocksWSocket(TNetComponent* owner) : TCustomWSocket(owner) {}

void TCustomSocksWSocket::SetSocksServer(const std::string& value) {
  FSocksServer = value;
}

void TCustomSocksWSocket::SetSocksPort(const std::string& value) {
  FSocksPort = value;
}

void TCustomSocksWSocket::SetSocksLevel(const std::string& value) {
  FSocksLevel = value;
}

void TCustomSocksWSocket::Connect() {
  TCustomWSocket::Connect();
}

void TCustomSocksWSocket::Listen() {
  TCustomWSocket::Listen();
}

void TCustomSocksWSocket::ResetDefaults() {
  TCustomWSocket::ResetDefaults();
  FSocksState = 0;
  FSocksServer.clear();
  FSocksPort.clear();
  FSocksLevel = "5";
  FSocksPortAssigned = false;
  FSocksServerAssigned = false;
}

int TCustomSocksWSocket::GetRcvdCount() {
  return TCustomWSocket::GetRcvdCount();
}

bool TCustomSocksWSocket::NotifyDataAvailable(std::uint16_t error) {
  return TCustomWSocket::NotifyDataAvailable(error);
}

void TCustomSocksWSocket::NotifySessionConnected(std::uint16_t error) {
  TCustomWSocket::NotifySessionConnected(error);
}

void TCustomSocksWSocket::NotifySessionClosed(std::uint16_t error) {
  TCustomWSocket::NotifySessionClosed(error);
}

int TCustomSocksWSocket::RecvRaw(void* buffer, int bufferSize, int flags) {
  return TCustomWSocket::RecvRaw(buffer, bufferSize, flags);
}

void TCustomSocksWSocket::NotifySocksConnected(std::uint16_t error) {
  if (OnSocksConnected) OnSocksConnected(this, error);
}

void TCustomSocksWSocket::NotifySocksError(int error, const std::string& msg) {
  if (OnSocksError) OnSocksError(this, error, msg);
}

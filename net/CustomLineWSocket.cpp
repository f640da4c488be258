#include "net/CustomLineWSocket.h"

#include <algorithm>
#include <cstring>

#include "platform/MessageLoop.h"

TCustomLineWSocket::TCustomLineWSocket(TNetComponent* owner) : TCustomTlsWSocket(owner) {}

TCustomLineWSocket::~TCustomLineWSocket() = default;

void TCustomLineWSocket::SetLineMode(bool value) {
  if (value == FLineMode) return;
  FLineMode = value;
  // Bytes held under the old mode have never been searched under the new one.
  FScanFrom = 0;
  if (FRcvdCnt > 0 || FLineLength > 0) RequestRedelivery();
}

void TCustomLineWSocket::SetLineEnd(const std::string& value) {
  if (value == FLineEnd) return;
  FLineEnd = value;
  FScanFrom = 0;
  // Held bytes may already hold complete lines under the new terminator; without a
  // redelivery they would wait for the peer's next bytes.
  if (FRcvdCnt > 0) RequestRedelivery();
}

void TCustomLineWSocket::RequestRedelivery() {
  // Posted, never run here: the setter may be called from inside a handler.
  if (Handle() != 0) PostMessage(Handle(), LineRedeliverMessage, 0, 0);
}

LRESULT TCustomLineWSocket::WindowProcedure(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != LineRedeliverMessage) return TCustomTlsWSocket::WindowProcedure(msg, wParam, lParam);
  try {
    Redeliver();
  } catch (std::exception& e) {
    HandleEventException(e);
  }
  return 0;
}

bool TCustomLineWSocket::ServesFromBuffer() const {
  return LinesActive() ? FLineLength > 0 : FRcvdCnt > 0;
}

int TCustomLineWSocket::Receive(void* buffer, int bufferSize) {
  // Held bytes were counted into ReadCount when they left the socket; counting them again
  // here would report every line-mode byte twice.
  if (ServesFromBuffer()) return RecvRaw(buffer, bufferSize, 0);
  return TCustomTlsWSocket::Receive(buffer, bufferSize);
}

int TCustomLineWSocket::RecvRaw(void* buffer, int bufferSize, int flags) {
  if (LinesActive()) {
    if (FLineLength <= 0) return TCustomTlsWSocket::RecvRaw(buffer, bufferSize, flags);
    return TakeHeld(buffer, std::min(bufferSize, FLineLength));
  }
  if (FRcvdCnt > 0) return TakeHeld(buffer, bufferSize);
  return TCustomTlsWSocket::RecvRaw(buffer, bufferSize, flags);
}

int TCustomLineWSocket::GetRcvdCount() {
  if (LinesActive()) return FLineLength;
  // What the next read returns: held bytes are served before the socket is read again.
  if (FRcvdCnt > 0) return FRcvdCnt;
  return TCustomTlsWSocket::GetRcvdCount();
}

int TCustomLineWSocket::TakeHeld(void* buffer, int size) {
  const int n = std::clamp(size, 0, FRcvdCnt);
  if (n > 0) std::memcpy(buffer, Held(), static_cast<std::size_t>(n));
  Consume(n);
  return n;
}

void TCustomLineWSocket::Consume(int count) {
  FRcvdHead += count;
  FRcvdCnt -= count;
  FLineLength = std::max(0, FLineLength - count);
  FScanFrom = std::max(0, FScanFrom - count);
  if (FRcvdCnt == 0) FRcvdHead = 0;
}

void TCustomLineWSocket::MakeRoom(int extra) {
  const std::size_t needed =
      static_cast<std::size_t>(FRcvdCnt) + static_cast<std::size_t>(std::max(extra, 0)) + 1;
  if (static_cast<std::size_t>(FRcvdHead) + needed <= FRcvBuf.size()) return;
  if (FRcvdHead > 0) {
    std::memmove(FRcvBuf.data(), Held(), static_cast<std::size_t>(FRcvdCnt));
    FRcvdHead = 0;
  }
  // Doubling keeps a long unterminated line, arriving packet by packet, linear.
  if (needed > FRcvBuf.size()) FRcvBuf.resize(std::max(needed, FRcvBuf.size() * 2));
}

void TCustomLineWSocket::ReleaseBuffer() {
  std::vector<char>().swap(FRcvBuf);
  FRcvdHead = 0;
  FRcvdCnt = 0;
  FLineLength = 0;
  FScanFrom = 0;
}

void TCustomLineWSocket::FinishHeldBytes() {
  try {
    OfferLastLine();
  } catch (...) {
    ReleaseBuffer();
    throw;
  }
  ReleaseBuffer();
}

void TCustomLineWSocket::NotifySessionClosed(std::uint16_t error) {
  FinishHeldBytes();
  TCustomTlsWSocket::NotifySessionClosed(error);
}

void TCustomLineWSocket::ResetDefaults() {
  TCustomTlsWSocket::ResetDefaults();
  // Every close ends here, also one that was not reported through OnSessionClosed: what
  // is still held belongs to the connection that ended. It is offered once more, and must
  // never reach the handler of the next connection.
  FinishHeldBytes();
}

void TCustomLineWSocket::Connect() {
  if (State() == wsClosed) ReleaseBuffer();
  TCustomTlsWSocket::Connect();
}

void TCustomLineWSocket::Dup(winsock::SOCKET newHSocket) {
  if (newHSocket != 0 && newHSocket != winsock::INVALID_SOCKET) ReleaseBuffer();
  TCustomTlsWSocket::Dup(newHSocket);
}

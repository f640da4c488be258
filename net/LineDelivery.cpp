// Line-mode delivery of TCustomLineWSocket: collecting received bytes, finding terminators
// and handing each complete line to OnDataAvailable.

#include <algorithm>
#include <string_view>

#include "net/CustomLineWSocket.h"

namespace {

// Restores a flag when a handler's exception leaves the delivery loop.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : FFlag(flag) { FFlag = true; }
  ~TFlagScope() { FFlag = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& FFlag;
};

}  // namespace

bool TCustomLineWSocket::NotifyDataAvailable(std::uint16_t error) {
  // While a proxy negotiation or a TLS handshake runs, the bytes are not the peer's lines.
  if (!LinesActive() || SocksNegotiating() || TlsPending())
    return TCustomTlsWSocket::NotifyDataAvailable(error);
  // Redelivery may run after the handle is gone; held bytes are then all there is.
  const int pending = HSocket() == winsock::INVALID_SOCKET ? 0 : TCustomTlsWSocket::GetRcvdCount();
  if (pending > 0) FillFromSocket(pending);
  // Also without new bytes: held ones may not have been searched yet (mode just switched on).
  DeliverLines();
  return true;
}

bool TCustomLineWSocket::FillFromSocket(int count) {
  MakeRoom(count);
  // Read below this layer: Receive would serve a line still being delivered instead.
  int r = TCustomTlsWSocket::RecvRaw(Held() + FRcvdCnt, count, 0);
  if (r < 0) {
    FLastError = ws::WSAGetLastError();
    return false;
  }
  if (r == 0) return false;
  FReadCount += r;
  EchoOrEdit(r);
  return true;
}

void TCustomLineWSocket::DeliverLines() {
  // A notification dispatched from inside a handler only collects; this loop goes on to
  // the lines it added, in order.
  if (FDelivering) return;
  TFlagScope scope(FDelivering);
  while (LinesActive()) {
    if (FLineLength == 0) {
      FLineLength = FindLineEnd();
      if (FLineLength == 0) return;
    }
    if (!OfferLine()) return;
  }
}

bool TCustomLineWSocket::OfferLine() {
  while (LinesActive() && FLineLength > 0) {
    const int before = FLineLength;
    if (!FireDataAvailable(0)) {
      Consume(FLineLength);  // nobody listens: the line is dropped
      return true;
    }
    // A handler that read nothing would be called forever; keep the line for the next
    // notification instead.
    if (FLineLength == before) return false;
  }
  return true;
}

int TCustomLineWSocket::FindLineEnd() {
  const std::string_view held(Held(), static_cast<std::size_t>(FRcvdCnt));
  const std::size_t pos = held.find(FLineEnd, static_cast<std::size_t>(FScanFrom));
  const int endLen = static_cast<int>(FLineEnd.size());
  if (pos == std::string_view::npos) {
    // A terminator may be split across receives: its first bytes must be searched again.
    FScanFrom = std::max(0, FRcvdCnt - endLen + 1);
    return 0;
  }
  FScanFrom = 0;
  return static_cast<int>(pos) + endLen;
}

void TCustomLineWSocket::Redeliver() {
  while (FRcvdCnt > 0) {
    const int before = FRcvdCnt;
    NotifyDataAvailable(0);
    if (FRcvdCnt == before) return;
  }
}

void TCustomLineWSocket::OfferLastLine() {
  // Bytes held since LineMode was switched off are the peer's data too: when the close is
  // handled before the posted redelivery, they are offered here or they would be lost.
  while (FRcvdCnt > 0 && !LinesActive()) {
    const int before = FRcvdCnt;
    if (!FireDataAvailable(0) || FRcvdCnt == before) return;
  }
  if (FRcvdCnt == 0) return;
  // The unterminated rest becomes one last line (a line being delivered included).
  FLineLength = FRcvdCnt;
  OfferLine();
}

// Plain text over TLS in TCustomTlsWSocket: decrypting what the server sent, serving it to
// the layers above as a plain socket would, encrypting what they send, and the end of the
// stream.

#include <algorithm>
#include <cstring>

#include "net/CustomTlsWSocket.h"
#include "platform/MessageLoop.h"

namespace {

// One read takes up to this much from the socket: several records, so that a long message
// costs few trips through the loop, while the plain text held stays bounded.
constexpr int kPullSize = 64 * 1024;
// The most plain text one record carries.
constexpr int kRecordSize = 16 * 1024;

}  // namespace

// One read below this layer (the proxy's leftover first); the count, or 0 when nothing came,
// with the socket's end or error remembered.
int TCustomTlsWSocket::ReadCipher(char* buffer, int size) {
  const int n = TCustomSocksWSocket::RecvRaw(buffer, size, 0);
  if (n > 0) return n;
  if (n == 0) {
    FSocketEof = true;
  } else if (const int code = ws::WSAGetLastError(); code != winsock::WSAEWOULDBLOCK) {
    FSocketError = code;
  }
  return 0;
}

void TCustomTlsWSocket::Pull() {
  if (FPhase != tlsOpen) return;
  // Only while little is held: the rest waits in the socket until the application reads.
  if (FPlainCount < kPullSize && !FSocketEof && FSocketError == 0) {
    char cipher[kPullSize];
    const int n = ReadCipher(cipher, kPullSize);
    if (n > 0) FSession->Feed(cipher, n);
  }
  // Also without new bytes: the records that ended the handshake may still be undecrypted.
  for (;;) {
    if (static_cast<int>(FPlain.size()) - FPlainHead - FPlainCount < kRecordSize) {
      if (FPlainHead > 0)
        std::memmove(FPlain.data(), FPlain.data() + FPlainHead,
                     static_cast<std::size_t>(FPlainCount));
      FPlainHead = 0;
      FPlain.resize(std::max(FPlain.size(), static_cast<std::size_t>(FPlainCount + kRecordSize)));
    }
    char* tail = FPlain.data() + FPlainHead + FPlainCount;
    const int n = FSession->Read(tail, static_cast<int>(FPlain.size()) - FPlainHead - FPlainCount);
    if (n <= 0) break;
    FPlainCount += n;
  }
  if (FSession->Ended() || FSession->Failed()) EndStream();
  // Reading may have produced bytes for the server (a key update, an alert).
  FlushOutput();
}

bool TCustomTlsWSocket::OfferPlain() {
  while (FPlainCount > 0) {
    const int before = FPlainCount;
    if (!FireDataAvailable(0)) {
      // Nobody listens: the bytes are dropped, as the socket layer drops unread data.
      FPlainHead = 0;
      FPlainCount = 0;
      break;
    }
    // A handler that took nothing would be offered the same bytes for ever.
    if (FPlainCount == before) break;
  }
  return true;
}

int TCustomTlsWSocket::TakePlain(void* buffer, int size, bool peek) {
  const int n = std::clamp(size, 0, FPlainCount);
  if (n > 0) std::memcpy(buffer, FPlain.data() + FPlainHead, static_cast<std::size_t>(n));
  if (peek) return n;
  FPlainHead += n;
  FPlainCount -= n;
  if (FPlainCount == 0) FPlainHead = 0;
  return n;
}

// What a plain socket says when it has nothing to read: 0 at the end of the stream, else
// an error, WSAEWOULDBLOCK while more may come.
int TCustomTlsWSocket::NothingDecrypted() {
  if ((FPhase == tlsEnded && FEndError == 0) || FSocketEof) return 0;
  int code = FSocketError;
  if (code == 0) code = FPhase == tlsEnded ? winsock::WSAECONNABORTED : winsock::WSAEWOULDBLOCK;
  ws::WSASetLastError(code);
  return winsock::SOCKET_ERROR;
}

void TCustomTlsWSocket::EndStream() {
  FPhase = tlsEnded;
  FEndError = FSession->Failed() ? FSession->ErrorCode() : 0;
  if (FEndError != 0) FTlsErrorMessage = FSession->ErrorText();
  // The close comes from the loop, once the layers above have taken what was decrypted
  // before the end.
  PostMessage(Handle(), TlsStreamEndMessage, FSerial, 0);
}

void TCustomTlsWSocket::FinishStream() {
  const WPARAM serial = FSerial;
  while (FPlainCount > 0) {
    const int before = FPlainCount;
    // Through the layers above, so that line mode frames these bytes like any others.
    NotifyDataAvailable(0);
    if (FSerial != serial || FPhase != tlsEnded || FPlainCount == before) break;
  }
  if (FSerial != serial || FPhase != tlsEnded) return;
  CloseConnection(true, static_cast<std::uint16_t>(FEndError));
}

void TCustomTlsWSocket::ReportEnd() {
  if (FPhase != tlsEnded || FEndError == 0 || FEndReported) return;
  FEndReported = true;
  ReportTlsError(FEndError, FTlsErrorMessage);
}

int TCustomTlsWSocket::SendPlain(const void* data, int len) {
  if (FPhase == tlsOpen) FSession->Write(data, len);
  if (FPhase != tlsOpen || FSession->Failed()) {
    if (FPhase == tlsOpen) EndStream();
    // The stream is over, and plain text must not go out any other way.
    ws::WSASetLastError(winsock::WSAESHUTDOWN);
    FLastError = winsock::WSAESHUTDOWN;
    return winsock::SOCKET_ERROR;
  }
  const std::string out = FSession->TakeOutput();
  TCustomSocksWSocket::Send(out.data(), static_cast<int>(out.size()));
  return len > 0 ? len : 0;
}

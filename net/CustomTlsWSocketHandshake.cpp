// The TLS handshake of TCustomTlsWSocket: started when the destination is reached, advanced
// by each read notification, and ended by telling the application, one way or the other.

#include "net/CustomTlsWSocket.h"

void TCustomTlsWSocket::NotifyDestinationConnected(std::uint16_t error) {
  if (FPhase != tlsWaiting || error != 0 || FState != wsConnected) {
    TCustomSocksWSocket::NotifyDestinationConnected(error);
    return;
  }
  StartHandshake();
}

void TCustomTlsWSocket::StartHandshake() {
  FPhase = tlsHandshake;
  ++FSerial;
  FSession = std::make_unique<TTlsSession>();
  if (!FSession->Start(FTlsHostName.empty() ? FAddrStr : FTlsHostName)) {
    FailHandshake(FSession->ErrorCode(), FSession->ErrorText());
    return;
  }
  FlushOutput();
}

bool TCustomTlsWSocket::ContinueHandshake(std::uint16_t error) {
  if (error != 0) {
    FailHandshake(error, WinsockErrorText(error));
    return true;
  }
  char cipher[16 * 1024 + 512];
  const int n = ReadCipher(cipher, sizeof cipher);
  if (n == 0) {
    if (FSocketEof)
      FailHandshake(tlsClosedInHandshake, ClosedInHandshakeText);
    else if (FSocketError != 0)
      FailHandshake(FSocketError, WinsockErrorText(FSocketError));
    return true;
  }
  FSession->Feed(cipher, n);
  const TTlsStep step = FSession->Handshake();
  if (step == TTlsStep::Failed) {
    FailHandshake(FSession->ErrorCode(), FSession->ErrorText());
    return true;
  }
  const WPARAM serial = FSerial;
  FlushOutput();
  // A send that found the connection broken has closed it and said so.
  if (!Current(serial)) return true;
  return step == TTlsStep::Done ? FinishHandshake() : true;
}

bool TCustomTlsWSocket::FinishHandshake() {
  FPhase = tlsOpen;
  const WPARAM serial = FSerial;
  if (!FEarlySend.empty()) {
    const std::string early = std::move(FEarlySend);
    FEarlySend.clear();
    SendPlain(early.data(), static_cast<int>(early.size()));
    if (!Current(serial)) return true;
  }
  if (!TellApplication(0) || !Current(serial) || FPhase != tlsOpen) return true;
  // The records that ended the handshake may have brought plain text along, and no further
  // notification would bring it.
  return NotifyDataAvailable(0);
}

// Every failed handshake ends the same way: OnTlsError, then the application's
// OnSessionConnected with the same code, then the close. The connection never carries
// plain text: it counts as ended from here on.
void TCustomTlsWSocket::FailHandshake(int error, const std::string& text) {
  FPhase = tlsEnded;
  FEndError = error;
  FEndReported = true;
  FEarlySend.clear();
  FTlsErrorMessage = text;
  const WPARAM serial = FSerial;
  if (!ReportTlsError(error, text) || !Current(serial)) return;
  if (!TellApplication(static_cast<std::uint16_t>(error)) || !Current(serial)) return;
  // The alert that tells the server why goes out before the close.
  SendLastWords();
  CloseConnection(true, static_cast<std::uint16_t>(error));
}

// The application hears of its connection from inside the read loop here, which swallows
// exceptions; one from its handler must instead end as it does for a direct connect.
bool TCustomTlsWSocket::TellApplication(std::uint16_t error) {
  try {
    TCustomSocksWSocket::NotifyDestinationConnected(error);
    return true;
  } catch (std::exception& e) {
    HandleEventException(e);
    return false;
  }
}

bool TCustomTlsWSocket::ReportTlsError(int error, const std::string& text) {
  try {
    NotifyTlsError(error, text);
    return true;
  } catch (std::exception& e) {
    HandleEventException(e);
    return false;
  }
}

void TCustomTlsWSocket::FlushOutput() {
  const std::string out = FSession->TakeOutput();
  if (out.empty()) return;
  SetAllSent(false);
  QueueForSend(out.data(), static_cast<int>(out.size()));
  TryToSend();
}

// The last bytes of a connection about to close (an alert, a close_notify) go straight to
// the socket, and only when nothing waits before them: they are a courtesy to the server,
// and a failure to send them changes nothing.
void TCustomTlsWSocket::SendLastWords() {
  if (!FSession || FHSocket == winsock::INVALID_SOCKET || !AllSent()) return;
  const std::string out = FSession->TakeOutput();
  if (!out.empty()) SendRaw(out.data(), static_cast<int>(out.size()));
}

#include "net/CustomTlsWSocket.h"

namespace {

bool IsTcp(const std::string& proto) {
  std::string lower = TrimText(proto);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower == "tcp";
}

}  // namespace

TCustomTlsWSocket::TCustomTlsWSocket(TNetComponent* owner) : TCustomSocksWSocket(owner) {}

TCustomTlsWSocket::~TCustomTlsWSocket() {
  // The close that follows in the base no longer passes through this layer: the server
  // hears here that the stream ends.
  if (FPhase == tlsOpen && FState == wsConnected && !FSocketEof) {
    FSession->Shutdown();
    SendLastWords();
  }
}

void TCustomTlsWSocket::SetTlsEnabled(bool value) {
  if (value == FTlsEnabled) return;
  if (FState != wsClosed) {
    ReportError("Can't change TLS if not closed");
    return;
  }
  FTlsEnabled = value;
}

void TCustomTlsWSocket::SetTlsHostName(const std::string& value) {
  if (value == FTlsHostName) return;
  if (FState != wsClosed) {
    ReportError("Can't change TLS host name if not closed");
    return;
  }
  FTlsHostName = TrimText(value);
}

void TCustomTlsWSocket::Connect() {
  if (ConnectionInUse()) {
    TCustomSocksWSocket::Connect();
    return;
  }
  // A handler of the last close that connects again comes here before that close's reset.
  ResetSession();
  if (!FTlsEnabled) {
    TCustomSocksWSocket::Connect();
    return;
  }
  if (!IsTcp(FProtoStr)) {
    ReportError("TLS is only supported over tcp");
    return;
  }
  FTlsErrorMessage.clear();
  FPhase = tlsWaiting;
  try {
    TCustomSocksWSocket::Connect();
  } catch (...) {
    if (FState == wsClosed || FState == wsOpened) FPhase = tlsOff;
    throw;
  }
  // A connect refused by a guard must not leave a later socket (Dup) believing it waits
  // for a handshake.
  if (FState == wsClosed || FState == wsOpened) FPhase = tlsOff;
}

void TCustomTlsWSocket::Listen() {
  if (FTlsEnabled) {
    ReportError("listening is not supported with TLS");
    return;
  }
  TCustomSocksWSocket::Listen();
}

int TCustomTlsWSocket::Send(const void* data, int len) {
  if (FState != wsConnected || FPhase == tlsOff) return TCustomSocksWSocket::Send(data, len);
  if (TlsPending()) {
    // Plain text never goes out before the handshake: it waits, and goes out encrypted.
    if (len > 0) FEarlySend.append(static_cast<const char*>(data), static_cast<std::size_t>(len));
    return len > 0 ? len : 0;
  }
  return SendPlain(data, len);
}

void TCustomTlsWSocket::ResetDefaults() {
  TCustomSocksWSocket::ResetDefaults();
  ResetSession();
}

void TCustomTlsWSocket::ResetSession() {
  FPhase = tlsOff;
  FSession.reset();
  std::vector<char>().swap(FPlain);
  FPlainHead = 0;
  FPlainCount = 0;
  FEarlySend.clear();
  FEndError = 0;
  FEndReported = false;
  FSocketEof = false;
  FSocketError = 0;
}

void TCustomTlsWSocket::CloseConnection(bool shutdownFirst, std::uint16_t error) {
  // A close the socket layer decided on itself (a send that found the connection broken)
  // may come while the handshake runs; the application must still hear that its connect
  // failed, and before it hears of the close.
  if (FPhase == tlsHandshake && FCloseInvoked)
    return FailHandshake(tlsClosedInHandshake, ClosedInHandshakeText);
  ReportEnd();
  // The server learns that the stream ends here and was not cut off.
  if (shutdownFirst && FSession && !FSocketEof &&
      (FPhase == tlsOpen || (FPhase == tlsEnded && FEndError == 0))) {
    FSession->Shutdown();
    SendLastWords();
  }
  TCustomSocksWSocket::CloseConnection(shutdownFirst, error);
}

LRESULT TCustomTlsWSocket::WindowProcedure(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != TlsStreamEndMessage) return TCustomSocksWSocket::WindowProcedure(msg, wParam, lParam);
  try {
    if (wParam == FSerial && FPhase == tlsEnded) FinishStream();
  } catch (std::exception& e) {
    HandleEventException(e);
  }
  return 0;
}

int TCustomTlsWSocket::GetRcvdCount() {
  if (FPhase == tlsOff || FPhase == tlsWaiting) return TCustomSocksWSocket::GetRcvdCount();
  Pull();
  return FPlainCount;
}

int TCustomTlsWSocket::RecvRaw(void* buffer, int bufferSize, int flags) {
  if (FPhase == tlsOff || FPhase == tlsWaiting)
    return TCustomSocksWSocket::RecvRaw(buffer, bufferSize, flags);
  if (FPlainCount == 0) Pull();
  if (FPlainCount == 0) return NothingDecrypted();
  return TakePlain(buffer, bufferSize, (flags & winsock::MSG_PEEK) != 0);
}

bool TCustomTlsWSocket::NotifyDataAvailable(std::uint16_t error) {
  switch (FPhase) {
    case tlsOff:
    case tlsWaiting:
      return TCustomSocksWSocket::NotifyDataAvailable(error);
    case tlsHandshake:
      return ContinueHandshake(error);
    default:
      if (error != 0) return TCustomSocksWSocket::NotifyDataAvailable(error);
      Pull();
      return OfferPlain();
  }
}

void TCustomTlsWSocket::NotifySessionClosed(std::uint16_t error) {
  if (FPhase == tlsHandshake && FState != wsClosed) {
    // The server's close, reported before the socket closes: the handshake fails first.
    if (error == 0) error = tlsClosedInHandshake;
    FailHandshake(error,
                  error == tlsClosedInHandshake ? ClosedInHandshakeText : WinsockErrorText(error));
  } else if (error == 0 && FPhase == tlsEnded && FEndError != 0) {
    // The socket's own close notification may overtake the end of a broken stream: the
    // application must still learn what broke it.
    ReportEnd();
    error = static_cast<std::uint16_t>(FEndError);
  }
  TCustomSocksWSocket::NotifySessionClosed(error);
}

void TCustomTlsWSocket::NotifyDataSent(std::uint16_t error) {
  // Handshake messages are not the application's data.
  if (TlsPending()) return;
  TCustomSocksWSocket::NotifyDataSent(error);
}

void TCustomTlsWSocket::NotifyTlsError(int error, const std::string& msg) {
  if (auto handler = OnTlsError) handler(this, error, msg);
}

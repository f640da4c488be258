#include "net/CustomSocksWSocket.h"

#include <cstring>
#include <exception>

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string Trimmed(const std::string& s) {
  std::size_t first = 0;
  std::size_t last = s.size();
  while (first < last && IsBlank(s[first])) ++first;
  while (last > first && IsBlank(s[last - 1])) --last;
  return s.substr(first, last - first);
}

std::string AsciiLower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// The name an exception is reported under, as the proxy resolution error shows it.
std::string ExceptionClassName(const std::exception& e) {
  return dynamic_cast<const ESocketException*>(&e) ? "ESocketException" : "Exception";
}

const char* const ClosedByProxy = "connection closed by socks server";

}  // namespace

TCustomSocksWSocket::TCustomSocksWSocket(TNetComponent* owner) : TCustomWSocket(owner) {}

void TCustomSocksWSocket::SetSocksServer(const std::string& value) {
  if (FState != wsClosed) {
    ReportError("Can't change socks server if not closed");
    return;
  }
  FSocksServer = Trimmed(value);
  FSocksServerAssigned = !FSocksServer.empty();
  ForgetResolvedEndpoints();
}

// Connect through a proxy resolves the proxy's address and port into the socket's own
// record; once the proxy changes, they must be resolved afresh.
void TCustomSocksWSocket::ForgetResolvedEndpoints() {
  FAddrResolved = false;
  FPortResolved = false;
}

void TCustomSocksWSocket::SetSocksPort(const std::string& value) {
  if (FState != wsClosed) {
    ReportError("Can't change socks port if not closed");
    return;
  }
  FSocksPort = Trimmed(value);
  FSocksPortAssigned = true;
  ForgetResolvedEndpoints();
}

void TCustomSocksWSocket::SetSocksLevel(const std::string& value) {
  if (FState != wsClosed) {
    ReportError("Can't change socks level if not closed");
    return;
  }
  if (value != "4" && value != "5" && value != "4A" && value != "4a") {
    ReportError("Invalid socks level. Must be 4, 4A or 5.");
    return;
  }
  FSocksLevel = value == "4a" ? "4A" : value;
}

void TCustomSocksWSocket::Connect() {
  // A socket in use is refused by the base; starting a negotiation first would turn the
  // live connection's next bytes into a "reply".
  if (ConnectionInUse()) {
    TCustomWSocket::Connect();
    return;
  }
  // A handler of the last close that connects again comes here before that close's reset:
  // nothing of the old negotiation (a leftover of the destination's bytes) may reach this
  // connection.
  FNegotiation.Clear();
  if (FSocksServer.empty()) {
    TCustomWSocket::Connect();
    return;
  }
  if (AsciiLower(FProtoStr) != "tcp") {
    ReportError("tcp is the only protocol supported thru socks server");
    return;
  }
  const std::string oversized = OversizedRequest();
  if (!oversized.empty()) {
    ReportError(oversized);
    return;
  }
  if (!ResolveProxyEndpoints()) return;
  // Started first: a handler that pumps messages when the state changes may already see
  // the connection to the proxy complete inside the base Connect.
  FNegotiation.Start(Socks4Level());
  try {
    TCustomWSocket::Connect();
  } catch (...) {
    DropRefusedNegotiation();
    throw;
  }
  DropRefusedNegotiation();
}

// A connect refused by a guard, or failed before it got under way, must not leave the
// next, perhaps direct, connection believing it talks to a proxy.
void TCustomSocksWSocket::DropRefusedNegotiation() {
  if (FState == wsClosed || FState == wsOpened) FNegotiation.Clear();
}

std::string TCustomSocksWSocket::OversizedRequest() const {
  std::string request;
  if (Socks4Level()) {
    const bool host4A = FSocksLevel == "4A";
    if (TSocksNegotiation::Socks4Request(request, 0, 0, FSocksUsercode,
                                         host4A ? &FAddrStr : nullptr))
      return {};
    return host4A ? "socks user code and host name too long" : "socks user code too long";
  }
  if (!TSocksNegotiation::Socks5Request(request, FAddrStr, 0)) return "socks host name too long";
  if (FSocksAuthentication == socksAuthenticateUsercode &&
      !TSocksNegotiation::UserPassRequest(request, FSocksUsercode, FSocksPassword))
    return "socks user name and password too long";
  return {};
}

// Points the socket itself at the proxy (marked resolved, so the base Connect goes there)
// and keeps the destination port for the connect request.
bool TCustomSocksWSocket::ResolveProxyEndpoints() {
  try {
    if (!FPortResolved) {
      FPortNum = WSocketResolvePort(FSocksPort, FProtoStr);
      Fsin.sin_port = ws::htons(FPortNum);
      FPortResolved = true;
    }
    if (!FAddrResolved) {
      Fsin.sin_addr = WSocketResolveHost(FSocksServer);
      FAddrResolved = true;
    }
    FSocksDestPort = WSocketResolvePort(FPortStr, FProtoStr);
  } catch (const std::exception& e) {
    ReportError(std::string("connect: ") + e.what());
    return false;
  }
  return true;
}

void TCustomSocksWSocket::Listen() {
  if (FSocksServerAssigned) {
    ReportError("listening is not supported thru socks server");
    return;
  }
  TCustomWSocket::Listen();
}

void TCustomSocksWSocket::ResetDefaults() {
  TCustomWSocket::ResetDefaults();
  FNegotiation.Clear();
  FSocksServer.clear();
  FSocksPort.clear();
  // assign() rather than = "5": GCC 12 at -O2 misreads the literal's copy as an overlapping
  // memcpy (-Wrestrict) and -Werror would stop the build.
  FSocksLevel.assign(1, '5');
  FSocksPortAssigned = false;
  FSocksServerAssigned = false;
}

void TCustomSocksWSocket::CloseConnection(bool shutdownFirst, std::uint16_t error) {
  // A close the socket layer decided on itself (a send that found the connection broken)
  // may come while the negotiation runs: the application must still hear that its connect
  // failed, and before it hears of the close.
  if (SocksNegotiating() && FCloseInvoked)
    return SocksFail(FLastError != 0 ? FLastError : socksLimitError, ClosedByProxy);
  TCustomWSocket::CloseConnection(shutdownFirst, error);
}

int TCustomSocksWSocket::GetRcvdCount() {
  if (FNegotiation.LeftoverCount() > 0) return FNegotiation.LeftoverCount();
  return TCustomWSocket::GetRcvdCount();
}

int TCustomSocksWSocket::RecvRaw(void* buffer, int bufferSize, int flags) {
  if (FNegotiation.LeftoverCount() > 0)
    return FNegotiation.TakeLeftover(buffer, bufferSize, (flags & winsock::MSG_PEEK) != 0);
  return TCustomWSocket::RecvRaw(buffer, bufferSize, flags);
}

void TCustomSocksWSocket::NotifySessionConnected(std::uint16_t error) {
  if (FNegotiation.Phase() != socksPhaseMethod) {
    NotifyDestinationConnected(error);
    return;
  }
  // The TCP connection to the proxy is up (or failed); the application's
  // OnSessionConnected waits for the end of the negotiation.
  NotifySocksConnected(error);
  if (error != 0) {
    NotifyDestinationConnected(error);
    return;
  }
  if (FState != wsConnected) return;
  if (Socks4Level())
    SendConnectRequest();
  else
    SendBytes(FNegotiation.Greeting(FSocksAuthentication == socksAuthenticateUsercode));
}

void TCustomSocksWSocket::NotifySessionClosed(std::uint16_t error) {
  if (FNegotiation.Phase() == socksPhaseUserPass) {
    FNegotiation.SetPhase(socksPhaseNone);
    NotifySocksAuthState(socksAuthFailed);
  }
  TCustomWSocket::NotifySessionClosed(error);
}

bool TCustomSocksWSocket::NotifyDataAvailable(std::uint16_t error) {
  if (FNegotiation.Phase() == socksPhaseNone) return TCustomWSocket::NotifyDataAvailable(error);
  if (error != 0) {
    SocksFail(error, "data receive error");
    return false;
  }
  const int count = Receive(FNegotiation.ReadPointer(), FNegotiation.ReadRoom());
  if (count < 0) {
    if (FLastError != winsock::WSAEWOULDBLOCK && FLastError != 0) {
      SocksFail(FLastError, "data receive error");
      return false;
    }
    return true;
  }
  // The end of the stream before the reply is complete: without this the application
  // would never hear of its connection unless it watched OnSessionClosed.
  if (count == 0) {
    SocksFail(socksLimitError, ClosedByProxy);
    return true;
  }
  return Advance(FNegotiation.Received(count));
}

bool TCustomSocksWSocket::Advance(const TSocksStep& step) {
  if (step.HasAuthState) {
    // A failure reported here must not be reported again by the close that follows.
    if (step.Action == TSocksAction::Fail) FNegotiation.SetPhase(socksPhaseNone);
    NotifySocksAuthState(step.AuthState);
  }
  switch (step.Action) {
    case TSocksAction::Wait:
      return true;
    case TSocksAction::SendRequest:
      SendConnectRequest();
      return true;
    case TSocksAction::SendUserPass:
      SendUserPass();
      return true;
    case TSocksAction::Succeed:
      return Succeed();
    case TSocksAction::Fail:
      SocksFail(step.Error, step.Text);
      return true;
  }
  return true;
}

bool TCustomSocksWSocket::Succeed() {
  // The leftover entered ReadCount with the proxy's reply, and enters it again when it is
  // taken from the buffer like any received bytes; it must be counted once.
  FReadCount -= FNegotiation.LeftoverCount();
  // The negotiation has set the leftover already, so a Receive inside OnSessionConnected
  // gets the destination's first bytes before anything still in the socket.
  if (!NotifyApplicationConnected(0) || FState != wsConnected) return true;
  // Through the virtual, so that line mode above frames these bytes like any others.
  bool result = NotifyDataAvailable(0);
  // The read loop only asks the socket what is pending, so it cannot see the leftover:
  // keep offering it while the handler takes some.
  while (result && FState == wsConnected && FNegotiation.LeftoverCount() > 0) {
    const int before = FNegotiation.LeftoverCount();
    result = NotifyDataAvailable(0);
    if (FNegotiation.LeftoverCount() == before) break;
  }
  return result;
}

void TCustomSocksWSocket::SendConnectRequest() {
  FNegotiation.SetPhase(socksPhaseConnectReply);
  std::string request;
  bool fits = false;
  if (FSocksLevel == "4A") {
    const std::uint8_t firstInvalid[4] = {0, 0, 0, 1};  // 0.0.0.1: "the proxy resolves"
    std::uint32_t addr = 0;
    std::memcpy(&addr, firstInvalid, 4);
    fits =
        TSocksNegotiation::Socks4Request(request, FSocksDestPort, addr, FSocksUsercode, &FAddrStr);
  } else if (Socks4Level()) {
    std::uint32_t addr = 0;
    try {
      addr = WSocketResolveHost(FAddrStr);
    } catch (const std::exception& e) {
      SocksFail(socksResolveError, ExceptionClassName(e) + " " + e.what());
      return;
    }
    fits = TSocksNegotiation::Socks4Request(request, FSocksDestPort, addr, FSocksUsercode, nullptr);
  } else {
    fits = TSocksNegotiation::Socks5Request(request, FAddrStr, FSocksDestPort);
  }
  // Connect checked the sizes; this catches a user code changed since.
  if (!fits) {
    SocksFail(socksLimitError, OversizedRequest());
    return;
  }
  SendBytes(request);
}

void TCustomSocksWSocket::SendUserPass() {
  FNegotiation.SetPhase(socksPhaseUserPass);
  NotifySocksAuthState(socksAuthBegin);
  if (FState != wsConnected) return;
  std::string request;
  if (!TSocksNegotiation::UserPassRequest(request, FSocksUsercode, FSocksPassword)) {
    SocksFail(socksLimitError, "socks user name and password too long");
    return;
  }
  SendBytes(request);
}

void TCustomSocksWSocket::SendBytes(const std::string& bytes) {
  try {
    // Straight to the socket: the proxy must see these bytes as they are, whatever a layer
    // above does to the application's.
    TCustomWSocket::Send(bytes.data(), static_cast<int>(bytes.size()));
  } catch (const std::exception&) {
    // A send that fails here shows up as the proxy never answering or closing; the
    // negotiation reports that.
  }
}

// Every failed negotiation ends the same way: OnSocksError, then the application's
// OnSessionConnected with the same code, then the close.
void TCustomSocksWSocket::SocksFail(int error, const std::string& text) {
  if (FNegotiation.Phase() == socksPhaseUserPass) {
    FNegotiation.SetPhase(socksPhaseNone);
    NotifySocksAuthState(socksAuthFailed);
  }
  FNegotiation.SetPhase(socksPhaseNone);
  try {
    NotifySocksError(error, text);
  } catch (std::exception& e) {
    HandleEventException(e);
  }
  const winsock::SOCKET handle = FHSocket;
  NotifyApplicationConnected(static_cast<std::uint16_t>(error));
  // The application may have given up on this connection and started the next one.
  if (FHSocket == handle) CloseConnection(true, static_cast<std::uint16_t>(error));
}

// The application hears of its connection from inside the read loop here, which swallows
// exceptions; one from its handler must instead end as it does for a direct connect.
bool TCustomSocksWSocket::NotifyApplicationConnected(std::uint16_t error) {
  try {
    NotifyDestinationConnected(error);
    return true;
  } catch (std::exception& e) {
    HandleEventException(e);
    return false;
  }
}

void TCustomSocksWSocket::NotifyDestinationConnected(std::uint16_t error) {
  TCustomWSocket::NotifySessionConnected(error);
}

void TCustomSocksWSocket::NotifySocksConnected(std::uint16_t error) {
  if (OnSocksConnected) OnSocksConnected(this, error);
}

void TCustomSocksWSocket::NotifySocksError(int error, const std::string& msg) {
  if (OnSocksError) OnSocksError(this, error, msg);
}

void TCustomSocksWSocket::NotifySocksAuthState(TSocksAuthState state) {
  if (OnSocksAuthState) OnSocksAuthState(this, state);
}

// Connecting, the greeting, reception and line splitting, and the end of a connection.

#include <typeinfo>

#include "pop3/CustomPop3Cli.h"
#include "pop3/Pop3Parse.h"

namespace {

// The class name an exception is reported under, as the user would know it.
std::string ExceptionClassName(const std::exception& e) {
  if (dynamic_cast<const ESocketException*>(&e)) return "ESocketException";
  if (dynamic_cast<const Pop3Exception*>(&e)) return "Pop3Exception";
  return "Exception";
}

}  // namespace

void TCustomPop3Cli::Connect() {
  CheckReady();
  if (FConnected) throw Pop3Exception("POP3 component already connected");
  FReceiveBuffer.Clear();
  FRequestResult = 0;
  FRequestDoneFlag = false;
  if (!FSequenceActive) FRequestType = pop3RqConnect;
  ChangeState(pop3Resolving);
  FSocket->OnDataSent = nullptr;
  FSocket->OnDnsLookupDone = [this](TObject*, std::uint16_t error) { SocketDnsLookupDone(error); };
  try {
    FSocket->DnsLookup(FHost);
  } catch (const std::exception& e) {
    // A lookup that cannot even start (no host name) raises before it reports anything;
    // left alone it would keep the component resolving and refusing every request.
    if (FState != pop3Resolving || FRequestDoneFlag) throw;
    FailWithException(e);
  }
}

void TCustomPop3Cli::FailWithWinsockError(std::uint16_t error) {
  FLastResponse = ConnectionErrorText(error);
  FStatusCode = 500;
  FRequestResult = error;
}

std::string TCustomPop3Cli::ConnectionErrorText(std::uint16_t error) const {
  if (IsTlsError(error)) return "-ERR TLS: " + FSocket->TlsErrorMessage();
  return "-ERR " + WinsockErrorText(error) + " (Winsock error #" + std::to_string(error) + ")";
}

void TCustomPop3Cli::SocketDnsLookupDone(std::uint16_t error) {
  if (error != 0) {
    FailWithWinsockError(error);
    KeepFirstError();
    FinishRequest(error);
    return;
  }
  FSocket->SetAddr(FSocket->DnsResult());
  FSocket->SetProto("tcp");
  FSocket->SetPort(FPort);
  // The socket connects to the address; the certificate must be valid for the host name.
  FSocket->SetTlsEnabled(IsImplicitTlsPort(FPort));
  FSocket->SetTlsHostName(FHost);
  FSocket->OnSessionConnected = [this](TObject*, std::uint16_t e) { SocketSessionConnected(e); };
  FSocket->OnDataAvailable = [this](TObject*, std::uint16_t e) { SocketDataAvailable(e); };
  ChangeState(pop3Connecting);
  try {
    FSocket->Connect();
  } catch (const std::exception& e) {
    FailWithException(e);
  }
}

void TCustomPop3Cli::FailWithException(const std::exception& e) {
  FLastResponse = "-ERR " + ExceptionClassName(e) + ": " + e.what();
  FStatusCode = 500;
  FRequestResult = 500;
  KeepFirstError();
  FinishRequest(500);
}

void TCustomPop3Cli::SocketSessionConnected(std::uint16_t error) {
  if (error != 0) {
    FailWithWinsockError(error);
    FConnected = false;
    KeepFirstError();
    FinishRequest(error);
    FSocket->Close();
    ChangeState(pop3Idle);
    return;
  }
  FConnected = true;
  ChangeState(pop3AwaitingGreeting);
}

bool TCustomPop3Cli::HandleGreeting(std::uint16_t error) {
  ShowReply();
  if (!CheckPositive()) {
    KeepFirstError();
    FRequestResult = FStatusCode;
    FSocket->Close();
    return false;
  }
  FTimestamp = CaptureTimestamp(FLastResponse);
  FProtocolState = pop3WaitingUser;
  ChangeState(pop3Connected);
  FireSessionConnected(error);
  FinishRequest(0);
  return true;
}

void TCustomPop3Cli::SocketDataAvailable(std::uint16_t error) {
  int room = 0;
  char* into = FReceiveBuffer.PrepareReceive(room);
  if (room <= 0) return;
  const int count = FSocket->Receive(into, room);
  if (count <= 0) return;
  FReceiveBuffer.CommitReceive(count);
  try {
    DispatchLines(error);
  } catch (const std::exception& e) {
    AbandonAfterException("-ERR " + ExceptionClassName(e) + ": " + e.what());
    throw;
  } catch (...) {
    AbandonAfterException("-ERR Exception");
    throw;
  }
}

// A handler's exception leaves the rest of the held lines undispatched, and the socket
// layer swallows it: the running request would wait for ever for lines that have already
// come, or the rest of an answer would be read as the reply to the next command. So the
// connection is dropped, the request ends once with an error that names the exception, and
// the exception goes on its way.
void TCustomPop3Cli::AbandonAfterException(const std::string& text) {
  if (!FConnected) return;
  if (FState != pop3Idle && FErrorMessage.empty()) FErrorMessage = text;
  Abort();
}

void TCustomPop3Cli::DispatchLines(std::uint16_t error) {
  std::string_view line;
  bool continuation = false;
  while (FReceiveBuffer.NextLine(line, continuation)) {
    FLastResponse.assign(line);
    FLineIsContinuation = continuation;
    FireResponse(FLastResponse);
    if (FCommandUnsent || FReceiveBuffer.LineBeforeFence()) {
      // It came before the command now awaiting its reply (see SendCommandLine).
      if (!continuation) FHeadIsDataLine = false;
      ShowReply();
      continue;
    }
    const bool asData =
        FState == pop3AwaitingReply && FReplyHandler == &TCustomPop3Cli::HandleDataLine;
    if (!continuation) {
      FHeadIsDataLine = asData;
    } else if (!asData || !FHeadIsDataLine) {
      // The rest of an overlong greeting or status line: the line was handled when its
      // head came, so the rest must not pass for the next command's reply or for data.
      ShowReply();
      continue;
    }
    if (FState == pop3AwaitingGreeting) {
      // After a negative greeting the connection is closed: what else is buffered belongs
      // to no one.
      if (!HandleGreeting(error)) return;
    } else if (FState == pop3AwaitingReply) {
      if (!FReplyHandler) throw Pop3Exception("Program error: FNext is nil");
      (this->*FReplyHandler)();
    } else {
      ShowReply();
    }
  }
}

void TCustomPop3Cli::SocketSessionClosed(std::uint16_t error) {
  FConnected = false;
  if (OnSessionClosed) OnSessionClosed(this, error);
  // A step of a sequence that loses its connection fails: without a result of its own the
  // sequence would go on to its next step and fail that one's guard inside this
  // notification. An abort keeps its own report (426).
  if (!FRequestDoneFlag && FRequestResult == 0 && FState != pop3Aborting && FState != pop3Idle) {
    FRequestResult = 10004;
    // The server's side went away with no line to tell why; without a text of our own the
    // user would be shown an error message that says nothing. A broken TLS stream says what
    // broke it.
    const std::string text = IsTlsError(error) ? ConnectionErrorText(error) : Pop3DisconnectedText;
    if (FErrorMessage.empty()) FErrorMessage = text;
    if (OnDisplay) OnDisplay(this, text);
  }
  FinishRequest(10004);
  FProtocolState = pop3Disconnected;
}

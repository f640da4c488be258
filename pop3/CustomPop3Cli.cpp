#include "pop3/CustomPop3Cli.h"

#include <exception>
#include <utility>

#include "platform/MessageLoop.h"

namespace {

// Runs what is already queued, as the application's message processing would. A WM_QUIT
// met on the way is put back for the loop that owns it instead of being swallowed.
void ProcessPendingMessages() {
  TMsg msg;
  while (PeekMessage(msg)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    DispatchMessage(msg);
  }
}

}  // namespace

TCustomPop3Cli::TCustomPop3Cli(TNetComponent* owner)
    : TNetComponent(owner), FWindowCell(std::make_shared<TCustomPop3Cli*>(this)) {
  std::weak_ptr<TCustomPop3Cli*> cell = FWindowCell;
  FWindowHandle = AllocateHWnd([cell](UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
    auto self = cell.lock();
    if (!self || !*self) return 0;
    return (*self)->WindowProcedure(msg, wParam, lParam);
  });
  FSocket = std::make_unique<TWSocket>();
  FSocket->OnSessionClosed = [this](TObject*, std::uint16_t error) { SocketSessionClosed(error); };
  FPort = "pop3";
}

TCustomPop3Cli::~TCustomPop3Cli() {
  Destroying();
  // Freeing the socket closes an open connection, which still runs the closed-handler; the
  // request-done message that may post is dropped with the window below.
  FSocket.reset();
  *FWindowCell = nullptr;
  DestroyWindow(FWindowHandle);
}

LRESULT TCustomPop3Cli::WindowProcedure(UINT msg, WPARAM, LPARAM lParam) {
  if (msg == Pop3RequestDoneMessage) {
    // The request type is read now, not when the message was posted: a command started in
    // the meantime (from the pump before a send) is what the user sees reported.
    if (OnRequestDone) OnRequestDone(this, FRequestType, LOWORD(lParam));
  }
  return 0;
}

void TCustomPop3Cli::FireSessionConnected(std::uint16_t error) {
  if (OnSessionConnected) OnSessionConnected(this, error);
}

void TCustomPop3Cli::FireResponse(const std::string& msg) {
  if (OnResponse) OnResponse(this, msg);
}

void TCustomPop3Cli::FireStateChange() {
  if (OnStateChange) OnStateChange(this);
}

void TCustomPop3Cli::ChangeState(TPop3ComponentState newState) {
  if (FState == newState) return;
  FState = newState;
  FireStateChange();
}

void TCustomPop3Cli::CheckReady() {
  if (FState != pop3Idle && FState != pop3BetweenSteps)
    throw Pop3Exception("POP3 component not ready");
}

bool TCustomPop3Cli::CheckPositive() {
  const bool positive = !FLastResponse.empty() && FLastResponse[0] == '+';
  FStatusCode = positive ? 0 : 500;
  return positive;
}

void TCustomPop3Cli::KeepFirstError() {
  if (FErrorMessage.empty()) FErrorMessage = FLastResponse;
}

void TCustomPop3Cli::ShowReply() {
  if (OnDisplay) OnDisplay(this, "< " + FLastResponse);
}

void TCustomPop3Cli::FailGuard(const std::string& text) {
  FErrorMessage = text;
  if (OnDisplay) OnDisplay(this, FErrorMessage);
  throw Pop3Exception(text);
}

void TCustomPop3Cli::FinishRequest(int error) {
  if (FRequestDoneFlag) return;
  FRequestDoneFlag = true;
  if (FSequenceContinuation) {
    if (FState != pop3Aborting) ChangeState(pop3BetweenSteps);
    (this->*FSequenceContinuation)();
    return;
  }
  ChangeState(pop3Idle);
  FSequenceActive = false;
  PostMessage(FWindowHandle, Pop3RequestDoneMessage, 0,
              static_cast<LPARAM>(static_cast<std::uint16_t>(error)));
}

void TCustomPop3Cli::ExecuteCommand(TPop3Request request, std::string_view line,
                                    TPop3ProtocolState next, THandler doneHandler) {
  CheckReady();
  if (!FConnected) throw Pop3Exception("POP3 component not connected");
  if (!FSequenceActive) FRequestType = request;
  FRequestDoneFlag = false;
  FReplyHandler = &TCustomPop3Cli::HandleStatusReply;
  FNextProtocolState = next;
  FDoneHandler = doneHandler;
  ChangeState(pop3AwaitingReply);
  SendCommandLine(line);
}

void TCustomPop3Cli::SendCommandLine(std::string_view line) {
  std::string text;
  text.reserve(line.size() + 2);
  text.append(line);
  if (OnDisplay) OnDisplay(this, "> " + text);
  // Another window's handler may raise while the pump runs it. The request is already
  // waiting for its reply: left unsent, it would wait for ever and refuse every later
  // request. So the line still goes out, and the exception goes on to the caller after it.
  std::exception_ptr pumpFailure;
  const bool outerUnsent = std::exchange(FCommandUnsent, true);
  try {
    ProcessPendingMessages();
  } catch (...) {
    pumpFailure = std::current_exception();
  }
  FCommandUnsent = outerUnsent;
  // A reply cannot come before its command: lines held now (the rest of an earlier answer,
  // or whatever a faulty server sent) would otherwise be taken for this command's reply,
  // end its request early, and let the next command go out before this one.
  FReceiveBuffer.Fence();
  text.append("\r\n");
  // The pump may have run a close of this very connection (the server hung up, or a
  // handler called Abort); then there is nothing to send on, the closed-handler has
  // already ended the request, and a send would only raise on the dead socket.
  if (FSocket && FConnected) FSocket->SendStr(text);
  if (pumpFailure) std::rethrow_exception(pumpFailure);
}

void TCustomPop3Cli::HandleStatusReply() {
  ShowReply();
  if (!CheckPositive()) {
    FRequestResult = FStatusCode;
    KeepFirstError();
    FinishRequest(500);
    return;
  }
  FRequestResult = 0;
  FProtocolState = FNextProtocolState;
  if (FDoneHandler)
    (this->*FDoneHandler)();
  else
    FinishRequest(0);
}

void TCustomPop3Cli::StartMultiLine(THandler itemParser, const TPop3Notify& endEvent,
                                    const TPop3Notify& lineEvent, const TPop3Notify& beginEvent) {
  FItemParser = itemParser;
  FEndEvent = endEvent;
  FLineEvent = lineEvent;
  if (beginEvent) beginEvent(this);
  FReplyHandler = &TCustomPop3Cli::HandleDataLine;
}

void TCustomPop3Cli::HandleDataLine() {
  if (!FConnected) {
    FErrorMessage = Pop3DisconnectedText;
    FRequestResult = 500;
    if (OnDisplay) OnDisplay(this, FErrorMessage);
    FinishRequest(500);
    return;
  }
  // A later piece of an overlong line is data whatever it looks like: it can neither end
  // the answer nor carry the server's stuffing dot.
  if (!FLineIsContinuation) {
    if (FLastResponse.size() == 1 && FLastResponse[0] == '.') {
      if (FEndEvent) FEndEvent(this);
      FLastResponse.clear();
      FReplyHandler = nullptr;
      FinishRequest(0);
      return;
    }
    if (FLastResponse.size() >= 2 && FLastResponse[0] == '.' && FLastResponse[1] == '.')
      FLastResponse.erase(0, 1);
  }
  if (FItemParser) (this->*FItemParser)();
  if (FLineEvent) FLineEvent(this);
}

#pragma once
// The event-driven POP3 client: every operation only starts a request and returns; the
// request advances inside the socket's notifications and ends with exactly one
// OnRequestDone, posted to the client's hidden window so that it always arrives from the
// message loop, never from inside the engine.

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "net/NetComponent.h"
#include "net/WSocket.h"
#include "platform/Messages.h"
#include "pop3/Pop3ReceiveBuffer.h"
#include "pop3/Pop3Types.h"

// Posted to the client's own window when a request has ended.
constexpr UINT Pop3RequestDoneMessage = WM_USER + 1;  // 1025

class TCustomPop3Cli : public TNetComponent {
 public:
  explicit TCustomPop3Cli(TNetComponent* owner = nullptr);
  ~TCustomPop3Cli() override;

  // Properties.
  const std::string& Host() const { return FHost; }
  void SetHost(const std::string& value) { FHost = value; }
  const std::string& Port() const { return FPort; }
  void SetPort(const std::string& value) { FPort = value; }
  const std::string& UserName() const { return FUserName; }
  void SetUserName(const std::string& value) { FUserName = value; }
  const std::string& PassWord() const { return FPassWord; }
  void SetPassWord(const std::string& value) { FPassWord = value; }
  const std::string& ErrorMessage() const { return FErrorMessage; }
  const std::string& LastResponse() const { return FLastResponse; }
  TPop3ProtocolState ProtocolState() const { return FProtocolState; }
  std::int32_t MsgCount() const { return FMsgCount; }
  std::int32_t MsgSize() const { return FMsgSize; }
  std::int32_t MsgLines() const { return FMsgLines; }
  void SetMsgLines(std::int32_t value) { FMsgLines = value; }
  std::int32_t MsgNum() const { return FMsgNum; }
  void SetMsgNum(std::int32_t value) { FMsgNum = value; }
  const std::string& MsgUidl() const { return FMsgUidl; }
  // True while OnMessageLine hands on a later piece of a line longer than the receive
  // buffer: the receiver joins it to the piece before, with no line end between them.
  bool LineIsContinuation() const { return FLineIsContinuation; }
  std::int32_t Tag() const { return FTag; }
  void SetTag(std::int32_t value) { FTag = value; }
  // The component state, for whoever needs to know whether a request is running.
  TPop3ComponentState State() const { return FState; }
  HWND Handle() const { return FWindowHandle; }

  // Operations; each starts one request (see OnRequestDone) or raises Pop3Exception.
  virtual void Connect();
  virtual void Login();
  virtual void User();
  virtual void Pass();
  virtual void Rpop();
  virtual void Apop();
  virtual void Quit();
  virtual void Stat();
  virtual void List();
  virtual void Retr();
  virtual void Top();
  virtual void Dele();
  virtual void Noop();
  virtual void Last();
  virtual void Rset();
  virtual void Uidl();
  virtual void Abort();

  // Events.
  TPop3Display OnDisplay;
  TPop3Display OnResponse;
  TPop3Notify OnMessageBegin, OnMessageLine, OnMessageEnd;
  TPop3Notify OnListBegin, OnListLine, OnListEnd;
  TPop3Notify OnUidlBegin, OnUidlLine, OnUidlEnd;
  TPop3Notify OnStateChange;
  TPop3RequestDone OnRequestDone;
  TPop3SessionEvent OnSessionConnected;
  TPop3SessionEvent OnSessionClosed;

 protected:
  using THandler = void (TCustomPop3Cli::*)();

  // The operations a request sequence is made of, one bit each.
  enum TStep : std::uint8_t {
    stNone,
    stConnect,
    stUser,
    stPass,
    stRpop,
    stApop,
    stQuit,
    stStat,
    stList,
    stRetr,
    stTop,
    stDele,
    stNoop,
    stLast,
    stRset,
    stUidl
  };
  static constexpr std::uint16_t StepBit(TStep step) { return std::uint16_t(1u << step); }

  virtual LRESULT WindowProcedure(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual void FireSessionConnected(std::uint16_t error);
  virtual void FireResponse(const std::string& msg);
  virtual void FireStateChange();
  virtual void FinishRequest(int error);

  // Engine.
  void ExecuteCommand(TPop3Request request, std::string_view line, TPop3ProtocolState next,
                      THandler doneHandler);
  void SendCommandLine(std::string_view line);
  void SendTransactionCommand(const char* word, const std::string& argument, THandler doneHandler,
                              TPop3Request request);
  void StartMultiLine(THandler itemParser, const TPop3Notify& endEvent,
                      const TPop3Notify& lineEvent, const TPop3Notify& beginEvent);
  void StartSequence(TPop3Request request, std::uint16_t steps);
  void RunSequence();
  void CheckReady();
  bool CheckPositive();
  void KeepFirstError();
  void ChangeState(TPop3ComponentState newState);
  void ShowReply();
  void FailGuard(const std::string& text);
  void FailWithWinsockError(std::uint16_t error);
  // "-ERR " and the text of a failed lookup, connect or TLS handshake.
  std::string ConnectionErrorText(std::uint16_t error) const;
  void FailWithException(const std::exception& e);

  // Reply handlers and done handlers; each reads FLastResponse.
  void HandleStatusReply();
  void HandleDataLine();
  bool HandleGreeting(std::uint16_t error);
  void StatDone();
  void ListOneDone();
  void ListAllDone();
  void UidlOneDone();
  void UidlAllDone();
  void LastDone();
  void MessageDone();
  void ParseListItem();
  void ParseUidlItem();

  // Socket notifications.
  void SocketDnsLookupDone(std::uint16_t error);
  void SocketSessionConnected(std::uint16_t error);
  void SocketDataAvailable(std::uint16_t error);
  void DispatchLines(std::uint16_t error);
  void AbandonAfterException(const std::string& text);
  void SocketSessionClosed(std::uint16_t error);

  std::unique_ptr<TWSocket> FSocket;
  HWND FWindowHandle = 0;
  TPop3ComponentState FState = pop3Idle;
  TPop3ProtocolState FNextProtocolState = pop3Disconnected;
  TPop3ProtocolState FProtocolState = pop3Disconnected;
  bool FConnected = false;
  TPop3Request FRequestType = pop3RqConnect;
  bool FRequestDoneFlag = false;
  int FRequestResult = 0;
  int FStatusCode = 0;
  TPop3ReceiveBuffer FReceiveBuffer;
  THandler FReplyHandler = nullptr;
  std::uint16_t FPendingSteps = 0;
  TStep FCurrentStep = stNone;
  int FSequenceResult = 0;
  bool FSequenceActive = false;
  // Set by an Abort from a handler of the change to pop3BetweenSteps, where no request is
  // in flight to carry the abort to the sequence.
  bool FAbortedBetweenSteps = false;
  THandler FSequenceContinuation = nullptr;
  THandler FDoneHandler = nullptr;
  TPop3Notify FLineEvent, FEndEvent;
  THandler FItemParser = nullptr;
  // True while the data line being handled is a later piece of an overlong line.
  bool FLineIsContinuation = false;
  // True while the overlong line being received began as a data line.
  bool FHeadIsDataLine = false;
  // True while the messages before a command line's send run: a line that arrives meanwhile
  // was sent before the command, so it cannot be the command's reply.
  bool FCommandUnsent = false;
  std::string FTimestamp;

  std::string FHost;
  std::string FPort;
  std::string FUserName;
  std::string FPassWord;
  std::string FErrorMessage;
  std::string FLastResponse;
  std::int32_t FMsgCount = 0;
  std::int32_t FMsgSize = 0;
  std::int32_t FMsgLines = 0;
  std::int32_t FMsgNum = 0;
  std::string FMsgUidl;
  std::int32_t FTag = 0;

 private:
  // The hidden window reaches the component through this cell; the destructor empties it
  // so that nothing can call into a component that is going away.
  std::shared_ptr<TCustomPop3Cli*> FWindowCell;
};

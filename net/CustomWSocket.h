#pragma once
// The non-blocking socket component: one WinSock socket whose notifications arrive as
// messages on a hidden window of its own, with a send queue, asynchronous name lookups and
// events for every outcome. Everything runs on the thread that created it.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "net/Buffer.h"
#include "net/NetComponent.h"
#include "net/SocketException.h"
#include "net/WSocketTypes.h"
#include "net/WSocketUnit.h"
#include "net/WinsockApi.h"
#include "platform/Messages.h"

constexpr UINT SocketNotifyMessage = WM_USER + 1;       // 1025
constexpr UINT NameLookupDoneMessage = WM_USER + 2;     // 1026
constexpr UINT AddressLookupDoneMessage = WM_USER + 3;  // 1027

class TCustomWSocket : public TNetComponent {
 public:
  explicit TCustomWSocket(TNetComponent* owner = nullptr);
  ~TCustomWSocket() override;

  // Properties.
  const std::string& Addr() const { return FAddrStr; }
  void SetAddr(const std::string& value);
  const std::string& Port() const { return FPortStr; }
  virtual void SetPort(const std::string& value);
  const std::string& Proto() const { return FProtoStr; }
  virtual void SetProto(const std::string& value);
  const std::string& LocalPort() const { return FLocalPortStr; }
  void SetLocalPort(const std::string& value);
  std::string PeerAddr() { return GetPeerAddr(); }
  std::string PeerPort() { return GetPeerPort(); }
  const std::string& DnsResult() const { return FDnsResult; }
  const std::vector<std::string>& DnsResultList() const { return FDnsResultList; }
  TSocketState State() const { return FState; }
  int ReadCount() const { return FReadCount; }
  int RcvdCount() { return GetRcvdCount(); }
  int LastError() const { return FLastError; }
  bool MultiThreaded() const { return FMultiThreaded; }
  void SetMultiThreaded(bool value) { FMultiThreaded = value; }
  int FlushTimeout() const { return FFlushTimeout; }
  void SetFlushTimeout(int value) { FFlushTimeout = value; }
  TSocketSendFlags SendFlags();
  void SetSendFlags(TSocketSendFlags value);
  TSocketLingerOnOff LingerOnOff() const { return FLingerOnOff; }
  void SetLingerOnOff(TSocketLingerOnOff value) { FLingerOnOff = value; }
  int LingerTimeout() const { return FLingerTimeout; }
  void SetLingerTimeout(int value) { FLingerTimeout = value; }
  winsock::SOCKET HSocket() const { return FHSocket; }
  HWND Handle() const { return FWindowHandle; }
  // Set when WM_QUIT was met while this component pumped messages.
  bool Terminated() const { return FTerminated; }

  // Operations.
  virtual void Connect();
  virtual void Close();
  virtual void Abort();
  virtual void Flush();
  virtual void WaitUntilClosed();
  virtual void Listen();
  virtual winsock::SOCKET Accept();
  virtual int Receive(void* buffer, int bufferSize);
  virtual std::string ReceiveStr();
  virtual int ReceiveFrom(void* buffer, int bufferSize, winsock::TSockAddrIn& from, int& fromLen);
  virtual int Send(const void* data, int len);
  virtual int SendTo(const winsock::TSockAddrIn& dest, int destLen, const void* data, int len);
  virtual int SendStr(const std::string& str);
  virtual void DnsLookup(const std::string& hostName);
  virtual void ReverseDnsLookup(const std::string& hostAddr);
  virtual void CancelDnsLookup();
  virtual std::string GetPeerAddr();
  virtual std::string GetPeerPort();
  virtual int GetPeerName(winsock::TSockAddrIn& name, int nameLen);
  virtual std::string GetLocalPortText();
  // A seconds/microseconds pair; kept for completeness, no operation uses them.
  struct TTimeVal {
    long tv_sec = 0;
    long tv_usec = 0;
  };
  virtual bool TimeValueIsSet(const TTimeVal& tv) const;
  virtual void TimeValueClear(TTimeVal& tv) const;
  virtual bool TimeValueEqual(const TTimeVal& a, const TTimeVal& b) const;
  virtual int GetSockName(winsock::TSockAddrIn& name, int& nameLen);
  virtual void Dup(winsock::SOCKET newHSocket);
  virtual void Shutdown(int how);
  virtual int Pause();
  virtual int Resume();
  virtual void PumpMessages();

  // Events.
  TSessionAvailable OnSessionAvailable;
  TSessionConnected OnSessionConnected;
  TSessionClosed OnSessionClosed;
  TChangeState OnChangeState;
  TDataAvailable OnDataAvailable;
  TDataSent OnDataSent;
  TNotifyEvent OnLineTooLong;
  TDnsLookupDone OnDnsLookupDone;
  TNotifyEvent OnError;
  TBgExceptionEvent OnBgException;

 protected:
  virtual LRESULT WindowProcedure(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual void ResetDefaults();
  virtual void CloseConnection(bool shutdownFirst, std::uint16_t error);
  virtual int GetRcvdCount();
  virtual void BindLocal();
  virtual int SendRaw(const void* data, int len);
  virtual void ReportErrorFmt(const char* format, ...) __attribute__((format(printf, 2, 3)));
  virtual void ReportError(const std::string& message);
  virtual void HandleEventException(std::exception& e);
  virtual bool NotifyDataAvailable(std::uint16_t error);
  virtual void NotifySessionAvailable(std::uint16_t error);
  virtual void NotifySessionConnected(std::uint16_t error);
  virtual void NotifySessionClosed(std::uint16_t error);
  virtual void NotifyDataSent(std::uint16_t error);
  virtual void NotifyChangeState(TSocketState oldState, TSocketState newState);
  virtual void NotifyDnsLookupDone(std::uint16_t error);
  virtual void NotifyError();
  virtual int RecvRaw(void* buffer, int bufferSize, int flags);
  virtual int RecvFromRaw(void* buffer, int bufferSize, winsock::TSockAddrIn& from, int& fromLen);

  // Helpers shared with the layers above.
  void ChangeState(TSocketState newState);
  void ReportWinsockError(const std::string& functionName);
  void SetLingerOption();
  void KeepUnsentDataOnClose();
  void DiscardSendQueue();
  void QueueForSend(const void* data, int len);
  // False when a send failed for a reason that waiting will not cure (already reported, or
  // the connection closed); true when everything went or the rest waits for FD_WRITE.
  bool TryToSend();
  bool SendFailed(int code);
  void ReadLoop(std::uint16_t error);
  void HandleSocketNotification(WPARAM wParam, LPARAM lParam);
  void HandlePeerClose(winsock::SOCKET socket, std::uint16_t error);
  void HandleNameLookupDone(WPARAM wParam, LPARAM lParam);
  void HandleAddressLookupDone(WPARAM wParam, LPARAM lParam);
  // Resolves what Connect and Listen need; raises the resolver's exception.
  void ResolveEndpoints();
  bool ApplyConnectOptions();
  void StartLookup(const std::string& text, bool reverse);
  // True while a connection holds the socket, so that Connect must refuse. One whose close
  // has already been reported holds it no longer: a handler of OnSessionClosed that
  // connects again lets go of it here.
  bool ConnectionInUse();
  // The per-connection flags start afresh with each new handle. The reset at the end of a
  // close normally did so already, but not when a handler of that close started this one.
  void StartConnectionState();
  // The end of every close: the state, the report, then the reset.
  void EndConnection(bool report, std::uint16_t error);
  void FinishClose();
  void SetAllSent(bool value) { FAllSent = value; }
  bool AllSent() const { return FAllSent; }

  // Fields, in the order the component has always kept them.
  std::string FDnsResult;
  std::vector<std::string> FDnsResultList;
  winsock::SOCKET FASocket = winsock::INVALID_SOCKET;
  std::deque<std::unique_ptr<TBuffer>> FBufList;
  int FBufSize = TBuffer::DefaultSize;
  int FSendFlags = 0;
  int FLastError = 0;
  HWND FWindowHandle = 0;
  alignas(8) char FDnsLookupBuffer[winsock::MAXGETHOSTSTRUCT + 1] = {};
  winsock::HANDLE FDnsLookupHandle = 0;
  winsock::SOCKET FHSocket = winsock::INVALID_SOCKET;
  std::string FAddrStr;
  bool FAddrResolved = false;
  int FAddrFormat = winsock::AF_INET;
  bool FAddrAssigned = false;
  int FProto = winsock::IPPROTO_TCP;
  bool FProtoAssigned = true;
  bool FProtoResolved = false;
  bool FLocalPortResolved = false;
  std::string FProtoStr = "tcp";
  std::string FPortStr;
  bool FPortAssigned = false;
  bool FPortResolved = false;
  std::uint16_t FPortNum = 0;
  std::string FLocalPortStr = "0";
  std::uint16_t FLocalPortNum = 0;
  int FType = winsock::SOCK_STREAM;
  TSocketLingerOnOff FLingerOnOff = wsLingerOn;
  int FLingerTimeout = 0;
  bool FAllSent = true;
  int FReadCount = 0;
  bool FPaused = false;
  bool FCloseInvoked = false;
  int FFlushTimeout = 60;
  bool FMultiThreaded = false;
  TSocketState FState = wsClosed;
  bool FTerminated = false;
  winsock::TSockAddrIn Fsin = {};

 private:
  // The hidden window's procedure reaches the component through this cell; the destructor
  // clears it so that a message arriving late goes nowhere.
  std::shared_ptr<TCustomWSocket*> FWindowCell;
};

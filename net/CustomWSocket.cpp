#include "net/CustomWSocket.h"

#include "platform/MessageLoop.h"

TCustomWSocket::TCustomWSocket(TNetComponent* owner) : TNetComponent(owner) {
  FWindowCell = std::make_shared<TCustomWSocket*>(this);
  std::shared_ptr<TCustomWSocket*> cell = FWindowCell;
  FWindowHandle = AllocateHWnd([cell](UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
    TCustomWSocket* socket = *cell;
    return socket ? socket->WindowProcedure(msg, wParam, lParam) : 0;
  });
  FBufSize = TBuffer::DefaultSize;
  ResetDefaults();
  ++SocketInstanceCount;
}

TCustomWSocket::~TCustomWSocket() {
  // A destructor must not throw: a failure to cancel or close during destruction has
  // nobody left to report to.
  try {
    CancelDnsLookup();
  } catch (...) {
  }
  try {
    if (FState != wsClosed) Close();
  } catch (...) {
  }
  if (--SocketInstanceCount <= 0) {
    UnloadWinsock();
    SocketInstanceCount = 0;
  }
  DiscardSendQueue();
  *FWindowCell = nullptr;
  DestroyWindow(FWindowHandle);
}

LRESULT TCustomWSocket::WindowProcedure(UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    switch (msg) {
      case SocketNotifyMessage:
        HandleSocketNotification(wParam, lParam);
        break;
      case NameLookupDoneMessage:
        HandleNameLookupDone(wParam, lParam);
        break;
      case AddressLookupDoneMessage:
        HandleAddressLookupDone(wParam, lParam);
        break;
      default:
        break;
    }
  } catch (std::exception& e) {
    HandleEventException(e);
  }
  return 0;
}

void TCustomWSocket::ResetDefaults() {
  Fsin.sin_family = winsock::AF_INET;
  FAddrFormat = winsock::PF_INET;
  FAddrAssigned = false;
  FAddrResolved = false;
  FPortAssigned = false;
  FPortResolved = false;
  FProtoResolved = false;
  FLocalPortResolved = false;
  FProtoAssigned = true;
  FProto = winsock::IPPROTO_TCP;
  FProtoStr = "tcp";
  FType = winsock::SOCK_STREAM;
  // assign() rather than = "0": GCC 12 at -O3 misreads the literal's copy as an overlapping
  // memcpy (-Wrestrict) and -Werror would stop the release build.
  FLocalPortStr.assign(1, '0');
  FLingerOnOff = wsLingerOn;
  FLingerTimeout = 0;
  FHSocket = winsock::INVALID_SOCKET;
  FState = wsClosed;
  FAllSent = true;
  FPaused = false;
  FReadCount = 0;
  FCloseInvoked = false;
  FFlushTimeout = 60;
}

void TCustomWSocket::ChangeState(TSocketState newState) {
  TSocketState oldState = FState;
  FState = newState;
  NotifyChangeState(oldState, newState);
}

void TCustomWSocket::SetAddr(const std::string& value) {
  if (value == FAddrStr && FAddrAssigned) return;
  if (FState != wsClosed) {
    ReportError("Cannot change Addr if not closed");
    return;
  }
  FAddrStr = TrimText(value);
  FAddrAssigned = !FAddrStr.empty();
  FAddrResolved = false;
}

void TCustomWSocket::SetPort(const std::string& value) {
  if (value == FPortStr && FPortAssigned) return;
  if (FState != wsClosed) {
    ReportError("Cannot change Port if not closed");
    return;
  }
  FPortStr = TrimText(value);
  FPortAssigned = !FPortStr.empty();
  FPortResolved = false;
}

void TCustomWSocket::SetProto(const std::string& value) {
  if (value == FProtoStr && FProtoAssigned) return;
  if (FState != wsClosed) {
    ReportError("Cannot change Proto if not closed");
    return;
  }
  FProtoStr = TrimText(value);
  FProtoAssigned = !FProtoStr.empty();
  FProtoResolved = false;
}

void TCustomWSocket::SetLocalPort(const std::string& value) {
  if (FState != wsClosed) {
    ReportError("Cannot change LocalPort if not closed");
    return;
  }
  FLocalPortStr = value;
  FLocalPortResolved = false;
}

TSocketSendFlags TCustomWSocket::SendFlags() {
  if (FSendFlags == 0) return wsSendNormal;
  if (FSendFlags == winsock::MSG_OOB) return wsSendUrgent;
  ReportError("Invalid internal SendFlags");
  return wsSendNormal;
}

void TCustomWSocket::SetSendFlags(TSocketSendFlags value) {
  switch (value) {
    case wsSendNormal:
      FSendFlags = 0;
      break;
    case wsSendUrgent:
      FSendFlags = winsock::MSG_OOB;
      break;
    default:
      ReportError("Invalid SendFlags");
  }
}

void TCustomWSocket::PumpMessages() {
  TMsg msg;
  while (PeekMessage(msg)) {
    // WM_QUIT is kept from the dispatcher: it only tells a waiting caller to give up.
    if (msg.message == WM_QUIT) {
      FTerminated = true;
      continue;
    }
    DispatchMessage(msg);
  }
}

bool TCustomWSocket::TimeValueIsSet(const TTimeVal& tv) const {
  return tv.tv_sec != 0 || tv.tv_usec != 0;
}

void TCustomWSocket::TimeValueClear(TTimeVal& tv) const {
  tv = TTimeVal{};
}

bool TCustomWSocket::TimeValueEqual(const TTimeVal& a, const TTimeVal& b) const {
  return a.tv_sec == b.tv_sec && a.tv_usec == b.tv_usec;
}

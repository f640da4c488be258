#pragma once
// The enumerations, event types and error codes of the SOCKS layer of the socket component.

#include <functional>
#include <string>

#include "net/Object.h"

enum TSocksAuthentication { socksNoAuthentication = 0, socksAuthenticateUsercode = 1 };

enum TSocksAuthState {
  socksAuthBegin = 0,
  socksAuthOk = 1,
  socksAuthFailed = 2,
  socksAuthNotNeeded = 3
};

using TSocksErrorEvent = std::function<void(TObject* Sender, int Error, const std::string& Msg)>;
using TSocksAuthStateEvent = std::function<void(TObject* Sender, TSocksAuthState AuthState)>;

// Codes reported through OnSocksError and then OnSessionConnected when a negotiation fails.
constexpr int socksLogicError = 20001;  // also "too much data availaible"
constexpr int socksVersionError = 20002;
constexpr int socksMethodNotAcceptable = 20003;
constexpr int socksReplyCodeBase = 20003;  // SOCKS 5 reply codes 1..8 map to 20004..20011
constexpr int socksAddrTypeNotSupported = 20011;
constexpr int socksUnassignedError = 20012;
constexpr int socksInternalError = 20013;
// Something does not fit the fixed 128-byte areas, or the proxy went away mid-negotiation.
constexpr int socksLimitError = 20014;
constexpr int socksAuthFailedError = 20015;
constexpr int socksRequestRejected = 20016;
constexpr int socksResolveError = 20017;

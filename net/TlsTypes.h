#pragma once
// The error codes and event type of the TLS layer of the socket component. A failed
// handshake reaches the application as OnTlsError, then OnSessionConnected with the same
// code, then OnSessionClosed; a broken TLS stream after the handshake as OnTlsError, then
// OnSessionClosed with the code.

#include <functional>
#include <string>

#include "net/Object.h"

using TTlsErrorEvent = std::function<void(TObject* Sender, int Error, const std::string& Msg)>;

// A range of their own, clear of the WinSock codes (10000..11999) and the SOCKS ones (20001..).
constexpr int tlsErrorBase = 21000;
constexpr int tlsSetupFailed = 21001;        // the TLS library or the trusted authorities
constexpr int tlsNotTls = 21002;             // the server answered with something else
constexpr int tlsClosedInHandshake = 21003;  // the server went away before the handshake ended
constexpr int tlsHandshakeFailed = 21004;    // refused by the server, or no common version
constexpr int tlsUntrusted = 21005;          // no chain to a trusted authority
constexpr int tlsExpired = 21006;            // outside its validity period
constexpr int tlsWrongName = 21007;          // not issued for the host we asked for
constexpr int tlsBadCertificate = 21008;     // any other certificate fault
constexpr int tlsStreamBroken = 21009;       // a record after the handshake could not be read
constexpr int tlsErrorLast = 21099;

inline bool IsTlsError(int code) {
  return code > tlsErrorBase && code <= tlsErrorLast;
}

#pragma once
// The 16-byte WinSock address record and the kernel's sockaddr_in carry the same bytes in
// the same order on Linux; only the family field needs translating, and the caller's
// length must be checked before anything is read or written.

#include "platform/winsock/PosixNames.h"
#include "platform/winsock/Winsock.h"

namespace winsock::detail {

// False (last error WSAEFAULT/WSAEAFNOSUPPORT) when the record cannot be an IPv4 address.
bool ToSockAddr(const TSockAddrIn* in, int len, sockaddr_in& out);
// Writes into the caller's record when it has room for 16 bytes (else WSAEFAULT).
bool FromSockAddr(const sockaddr_in& in, TSockAddrIn* out, int* len);

}  // namespace winsock::detail

#pragma once
// Shared by the socket entry points.

#include "platform/winsock/SocketRecord.h"

namespace winsock::detail {

// The socket's record, or null with WSANOTINITIALISED / WSAENOTSOCK as the last error.
SocketPtr CheckedSocket(SOCKET s);
// Closes every socket still open (the last WSACleanup resets them, as WinSock does).
void CloseAllSockets();

}  // namespace winsock::detail

#pragma once
// WSAStartup / WSACleanup bookkeeping. Like WinSock, start-ups are counted and every call
// that needs the library fails with WSANOTINITIALISED outside a start-up.

namespace winsock::detail {

// True when started; otherwise records WSANOTINITIALISED as the last error.
bool RequireStartup();

}  // namespace winsock::detail

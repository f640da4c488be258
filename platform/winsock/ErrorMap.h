#pragma once
// Translation of POSIX error numbers into WinSock's, and the per-thread last error that
// WSAGetLastError reports.

namespace winsock::detail {

// The WinSock number for an errno value; unknown values become WSAEINVAL so that a caller
// always sees a failure it can name.
int WsaFromErrno(int error);

void SetLastWsaError(int error);
int LastWsaError();

// Records `error` as the last error and returns SOCKET_ERROR, for one-line failure paths.
int Fail(int error);
// The same for the current errno.
int FailFromErrno();

}  // namespace winsock::detail

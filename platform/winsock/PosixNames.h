#pragma once
// The C library's socket headers define AF_INET, SOL_SOCKET, SO_LINGER, FIONREAD,
// INADDR_NONE and friends as macros, which would rewrite the WinSock constants of the same
// names (and silently give Linux's numbers where WinSock's are meant). Files of this
// library include the system headers only through here: their values are kept under other
// names, the macros are removed, and Winsock.h may follow.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cstdint>

namespace posix {

constexpr int kAfInet = AF_INET;
constexpr int kSolSocket = SOL_SOCKET;
constexpr int kSoReuseAddr = SO_REUSEADDR;
constexpr int kSoKeepAlive = SO_KEEPALIVE;
constexpr int kSoBroadcast = SO_BROADCAST;
constexpr int kSoLinger = SO_LINGER;
constexpr unsigned long kFionread = FIONREAD;
constexpr std::uint32_t kInaddrNone = INADDR_NONE;

}  // namespace posix

#undef AF_INET
#undef PF_INET
#undef SOL_SOCKET
#undef SO_REUSEADDR
#undef SO_KEEPALIVE
#undef SO_BROADCAST
#undef SO_LINGER
#undef FIONREAD
#undef INADDR_ANY
#undef INADDR_NONE

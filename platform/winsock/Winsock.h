#pragma once
// WinSock 1.1 as the socket layer sees it, implemented over POSIX sockets.
//
// The "library" is a table of entry points found by name (GetProcAddress), so the socket
// layer can load it on first use and unload it when the last socket goes, exactly as it
// would load wsock32.dll. Handles, error numbers, records and the asynchronous
// notifications (WSAAsyncSelect, WSAAsyncGetHostBy*) follow WinSock; they are delivered
// as posted messages through the program's message loop.
//
// The C library's socket headers define AF_INET, SOL_SOCKET, SO_LINGER, FIONREAD,
// INADDR_NONE and others as macros. Include this header before them, or include
// platform/winsock/PosixNames.h first, which keeps their values under other names and
// removes the macros; otherwise the constants below are rewritten into Linux's numbers.

#include <cstdint>

#include "platform/Messages.h"

namespace winsock {

using SOCKET = std::int32_t;
using HANDLE = std::uintptr_t;  // asynchronous request handle; 0 = failure
constexpr SOCKET INVALID_SOCKET = -1;
constexpr int SOCKET_ERROR = -1;
constexpr std::uint32_t INADDR_ANY = 0;
constexpr std::uint32_t INADDR_NONE = 0xFFFFFFFF;

constexpr int AF_INET = 2;
constexpr int PF_INET = 2;
constexpr int SOCK_STREAM = 1;
constexpr int SOCK_DGRAM = 2;
constexpr int IPPROTO_TCP = 6;
constexpr int IPPROTO_UDP = 17;

constexpr int SOL_SOCKET = 0xFFFF;
constexpr int SO_REUSEADDR = 0x0004;
constexpr int SO_KEEPALIVE = 0x0008;
constexpr int SO_BROADCAST = 0x0020;
constexpr int SO_LINGER = 0x0080;
constexpr int MSG_OOB = 0x1;
constexpr int MSG_PEEK = 0x2;
constexpr long FIONREAD = 0x4004667F;
constexpr int SD_RECEIVE = 0, SD_SEND = 1, SD_BOTH = 2;

// Event bits of WSAAsyncSelect; the notification's lParam is MAKELONG(bits, error).
constexpr long FD_READ = 1;
constexpr long FD_WRITE = 2;
constexpr long FD_OOB = 4;
constexpr long FD_ACCEPT = 8;
constexpr long FD_CONNECT = 16;
constexpr long FD_CLOSE = 32;

constexpr int MAXGETHOSTSTRUCT = 1024;

// Error numbers (WSAGetLastError, event errors).
constexpr int WSAEINTR = 10004;
constexpr int WSAEBADF = 10009;
constexpr int WSAEACCES = 10013;
constexpr int WSAEFAULT = 10014;
constexpr int WSAEINVAL = 10022;
constexpr int WSAEMFILE = 10024;
constexpr int WSAEWOULDBLOCK = 10035;
constexpr int WSAEINPROGRESS = 10036;
constexpr int WSAEALREADY = 10037;
constexpr int WSAENOTSOCK = 10038;
constexpr int WSAEDESTADDRREQ = 10039;
constexpr int WSAEMSGSIZE = 10040;
constexpr int WSAEPROTOTYPE = 10041;
constexpr int WSAENOPROTOOPT = 10042;
constexpr int WSAEPROTONOSUPPORT = 10043;
constexpr int WSAESOCKTNOSUPPORT = 10044;
constexpr int WSAEOPNOTSUPP = 10045;
constexpr int WSAEPFNOSUPPORT = 10046;
constexpr int WSAEAFNOSUPPORT = 10047;
constexpr int WSAEADDRINUSE = 10048;
constexpr int WSAEADDRNOTAVAIL = 10049;
constexpr int WSAENETDOWN = 10050;
constexpr int WSAENETUNREACH = 10051;
constexpr int WSAENETRESET = 10052;
constexpr int WSAECONNABORTED = 10053;
constexpr int WSAECONNRESET = 10054;
constexpr int WSAENOBUFS = 10055;
constexpr int WSAEISCONN = 10056;
constexpr int WSAENOTCONN = 10057;
constexpr int WSAESHUTDOWN = 10058;
constexpr int WSAETIMEDOUT = 10060;
constexpr int WSAECONNREFUSED = 10061;
constexpr int WSAEHOSTDOWN = 10064;
constexpr int WSAEHOSTUNREACH = 10065;
constexpr int WSASYSNOTREADY = 10091;
constexpr int WSAVERNOTSUPPORTED = 10092;
constexpr int WSANOTINITIALISED = 10093;
constexpr int WSAHOST_NOT_FOUND = 11001;
constexpr int WSATRY_AGAIN = 11002;
constexpr int WSANO_RECOVERY = 11003;
constexpr int WSANO_DATA = 11004;

// The 16-byte IPv4 address record: port and address in network order.
struct TSockAddrIn {
  std::uint16_t sin_family;
  std::uint16_t sin_port;
  std::uint32_t sin_addr;
  std::uint8_t sin_zero[8];
};
static_assert(sizeof(TSockAddrIn) == 16);

struct TLinger {
  std::uint16_t l_onoff;
  std::uint16_t l_linger;
};

struct THostEnt {
  char* h_name;
  char** h_aliases;
  std::int16_t h_addrtype;
  std::int16_t h_length;
  char** h_addr_list;  // each entry points at 4 bytes in network order; null-terminated
};

struct TServEnt {
  char* s_name;
  char** s_aliases;
  std::int16_t s_port;  // network order
  char* s_proto;
};

struct TProtoEnt {
  char* p_name;
  char** p_aliases;
  std::int16_t p_proto;
};

struct TWSAData {
  std::uint16_t wVersion;
  std::uint16_t wHighVersion;
  char szDescription[257];
  char szSystemStatus[129];
  std::uint16_t iMaxSockets;
  std::uint16_t iMaxUdpDg;
  char* lpVendorInfo;
};

// The library: LoadLibrary("wsock32.dll") (case-insensitive; any other name fails with
// the OS error 126, "module not found") gives a non-zero handle; GetProcAddress finds an
// entry point of the table below by name, or null with LastOsError() = 127.
using FARPROC = void (*)();
std::uintptr_t LoadLibrary(const char* name);
bool FreeLibrary(std::uintptr_t module);
FARPROC GetProcAddress(std::uintptr_t module, const char* name);
std::uint32_t LastOsError();

// The entry points, with WinSock's signatures. Lengths are ints; addresses are the
// 16-byte records above.
using PFN_WSAStartup = int (*)(std::uint16_t version, TWSAData* data);
using PFN_WSACleanup = int (*)();
using PFN_WSAGetLastError = int (*)();
using PFN_WSASetLastError = void (*)(int error);
using PFN_WSAAsyncSelect = int (*)(SOCKET s, HWND wnd, UINT msg, long events);
using PFN_WSAAsyncGetHostByName = HANDLE (*)(HWND wnd, UINT msg, const char* name, char* buf,
                                             int bufLen);
using PFN_WSAAsyncGetHostByAddr = HANDLE (*)(HWND wnd, UINT msg, const char* addr, int len,
                                             int type, char* buf, int bufLen);
using PFN_WSACancelAsyncRequest = int (*)(HANDLE request);
using PFN_gethostbyname = THostEnt* (*)(const char* name);
using PFN_getservbyname = TServEnt* (*)(const char* name, const char* proto);
using PFN_getprotobyname = TProtoEnt* (*)(const char* name);
using PFN_inet_addr = std::uint32_t (*)(const char* text);
using PFN_inet_ntoa = char* (*)(std::uint32_t addr);  // static buffer, per thread
using PFN_htons = std::uint16_t (*)(std::uint16_t v);
using PFN_ntohs = std::uint16_t (*)(std::uint16_t v);
using PFN_socket = SOCKET (*)(int af, int type, int protocol);
using PFN_bind = int (*)(SOCKET s, const TSockAddrIn* addr, int len);
using PFN_listen = int (*)(SOCKET s, int backlog);
using PFN_accept = SOCKET (*)(SOCKET s, TSockAddrIn* addr, int* len);
using PFN_connect = int (*)(SOCKET s, const TSockAddrIn* addr, int len);
using PFN_closesocket = int (*)(SOCKET s);
using PFN_shutdown = int (*)(SOCKET s, int how);
using PFN_send = int (*)(SOCKET s, const char* buf, int len, int flags);
using PFN_sendto = int (*)(SOCKET s, const char* buf, int len, int flags, const TSockAddrIn* to,
                           int toLen);
using PFN_recv = int (*)(SOCKET s, char* buf, int len, int flags);
using PFN_recvfrom = int (*)(SOCKET s, char* buf, int len, int flags, TSockAddrIn* from,
                             int* fromLen);
using PFN_setsockopt = int (*)(SOCKET s, int level, int name, const char* value, int len);
using PFN_ioctlsocket = int (*)(SOCKET s, long cmd, std::uint32_t* arg);
using PFN_getsockname = int (*)(SOCKET s, TSockAddrIn* addr, int* len);
using PFN_getpeername = int (*)(SOCKET s, TSockAddrIn* addr, int* len);

}  // namespace winsock

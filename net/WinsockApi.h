#pragma once
// WinSock reached through entry points looked up by name on first use. The library is
// loaded (and WSAStartup called) by the first lookup and unloaded again when the last socket
// component goes; the typed calls in namespace ws fetch their entry point each time, so
// they work again after an unload.

#include <string>

#include "platform/winsock/Winsock.h"

// The library to load; tests may point it at a name that does not exist.
extern std::string WinsockLibraryName;
// Live socket components; the last one to go unloads the library.
extern int SocketInstanceCount;

// Loads the library on first use and returns the named entry point. Raises
// ESocketException when the library cannot be loaded, WSAStartup fails or the entry point
// does not exist.
winsock::FARPROC WinsockEntryPoint(const std::string& name);
// WSACleanup and free the library, forgetting every cached entry point.
void UnloadWinsock();
bool WinsockLoaded();

namespace ws {

using winsock::HANDLE;
using winsock::SOCKET;
using winsock::TSockAddrIn;

int WSAGetLastError();
void WSASetLastError(int error);
int WSAAsyncSelect(SOCKET s, HWND wnd, UINT msg, long events);
HANDLE WSAAsyncGetHostByName(HWND wnd, UINT msg, const char* name, char* buf, int bufLen);
HANDLE WSAAsyncGetHostByAddr(HWND wnd, UINT msg, const char* addr, int len, int type, char* buf,
                             int bufLen);
int WSACancelAsyncRequest(HANDLE request);
winsock::THostEnt* gethostbyname(const char* name);
winsock::TServEnt* getservbyname(const char* name, const char* proto);
winsock::TProtoEnt* getprotobyname(const char* name);
std::uint32_t inet_addr(const char* text);
std::string inet_ntoa(std::uint32_t addr);
std::uint16_t htons(std::uint16_t v);
std::uint16_t ntohs(std::uint16_t v);
SOCKET socket(int af, int type, int protocol);
int bind(SOCKET s, const TSockAddrIn* addr, int len);
int listen(SOCKET s, int backlog);
SOCKET accept(SOCKET s, TSockAddrIn* addr, int* len);
int connect(SOCKET s, const TSockAddrIn* addr, int len);
int closesocket(SOCKET s);
int shutdown(SOCKET s, int how);
int send(SOCKET s, const char* buf, int len, int flags);
int sendto(SOCKET s, const char* buf, int len, int flags, const TSockAddrIn* to, int toLen);
int recv(SOCKET s, char* buf, int len, int flags);
int recvfrom(SOCKET s, char* buf, int len, int flags, TSockAddrIn* from, int* fromLen);
int setsockopt(SOCKET s, int level, int name, const char* value, int len);
int ioctlsocket(SOCKET s, long cmd, std::uint32_t* arg);
int getsockname(SOCKET s, TSockAddrIn* addr, int* len);
int getpeername(SOCKET s, TSockAddrIn* addr, int* len);

}  // namespace ws

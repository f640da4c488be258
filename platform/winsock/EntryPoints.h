#pragma once
// The functions behind the entry-point table of the "library". Programs find them with
// GetProcAddress under their WinSock names; the names here are spelled differently only
// because the C library already owns socket, bind, htons and the rest (some as macros).
// Tests may call them directly.

#include "platform/winsock/Winsock.h"

namespace winsock::api {

int WSAStartup(std::uint16_t version, TWSAData* data);
int WSACleanup();
int WSAGetLastError();
void WSASetLastError(int error);
int WSAAsyncSelect(SOCKET s, HWND wnd, UINT msg, long events);
HANDLE WSAAsyncGetHostByName(HWND wnd, UINT msg, const char* name, char* buf, int bufLen);
HANDLE WSAAsyncGetHostByAddr(HWND wnd, UINT msg, const char* addr, int len, int type, char* buf,
                             int bufLen);
int WSACancelAsyncRequest(HANDLE request);

THostEnt* GetHostByName(const char* name);
TServEnt* GetServByName(const char* name, const char* proto);
TProtoEnt* GetProtoByName(const char* name);
std::uint32_t InetAddr(const char* text);
char* InetNtoa(std::uint32_t addr);
std::uint16_t Htons(std::uint16_t v);
std::uint16_t Ntohs(std::uint16_t v);

SOCKET Socket(int af, int type, int protocol);
int Bind(SOCKET s, const TSockAddrIn* addr, int len);
int Listen(SOCKET s, int backlog);
SOCKET Accept(SOCKET s, TSockAddrIn* addr, int* len);
int Connect(SOCKET s, const TSockAddrIn* addr, int len);
int CloseSocket(SOCKET s);
int Shutdown(SOCKET s, int how);
int Send(SOCKET s, const char* buf, int len, int flags);
int SendTo(SOCKET s, const char* buf, int len, int flags, const TSockAddrIn* to, int toLen);
int Recv(SOCKET s, char* buf, int len, int flags);
int RecvFrom(SOCKET s, char* buf, int len, int flags, TSockAddrIn* from, int* fromLen);
int SetSockOpt(SOCKET s, int level, int name, const char* value, int len);
int IoctlSocket(SOCKET s, long cmd, std::uint32_t* arg);
int GetSockName(SOCKET s, TSockAddrIn* addr, int* len);
int GetPeerName(SOCKET s, TSockAddrIn* addr, int* len);

}  // namespace winsock::api

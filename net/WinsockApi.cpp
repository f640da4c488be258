#include "net/WinsockApi.h"

#include <cstdio>
#include <unordered_map>

#include "net/SocketException.h"

std::string WinsockLibraryName = "wsock32.dll";
int SocketInstanceCount = 0;

namespace {

std::uintptr_t gLibrary = 0;
winsock::TWSAData gWSAData = {};
std::unordered_map<std::string, winsock::FARPROC> gEntryPoints;

void LoadWinsock() {
  std::uintptr_t library = winsock::LoadLibrary(WinsockLibraryName.c_str());
  if (library == 0)
    throw ESocketException("Unable to load " + WinsockLibraryName + " Error #" +
                           std::to_string(winsock::LastOsError()));
  auto startup =
      reinterpret_cast<winsock::PFN_WSAStartup>(winsock::GetProcAddress(library, "WSAStartup"));
  int result = startup ? startup(0x0101, &gWSAData) : -1;
  if (result != 0) {
    winsock::FreeLibrary(library);
    char text[300];
    std::snprintf(text, sizeof text, "%s: WSAStartup error #%d", WinsockLibraryName.c_str(),
                  result);
    throw ESocketException(text);
  }
  gLibrary = library;
}

template <class F>
F Entry(const char* name) {
  return reinterpret_cast<F>(WinsockEntryPoint(name));
}

}  // namespace

winsock::FARPROC WinsockEntryPoint(const std::string& name) {
  if (gLibrary == 0) LoadWinsock();
  auto cached = gEntryPoints.find(name);
  if (cached != gEntryPoints.end()) return cached->second;
  winsock::FARPROC proc = winsock::GetProcAddress(gLibrary, name.c_str());
  if (!proc)
    throw ESocketException("Procedure " + name + " not found in " + "wsock32.dll" + " Error #" +
                           std::to_string(winsock::LastOsError()));
  gEntryPoints.emplace(name, proc);
  return proc;
}

void UnloadWinsock() {
  if (gLibrary == 0) return;
  auto cleanup =
      reinterpret_cast<winsock::PFN_WSACleanup>(winsock::GetProcAddress(gLibrary, "WSACleanup"));
  if (cleanup) cleanup();
  winsock::FreeLibrary(gLibrary);
  gLibrary = 0;
  gEntryPoints.clear();
}

bool WinsockLoaded() {
  return gLibrary != 0;
}

namespace ws {

int WSAGetLastError() {
  return Entry<winsock::PFN_WSAGetLastError>("WSAGetLastError")();
}
void WSASetLastError(int error) {
  Entry<winsock::PFN_WSASetLastError>("WSASetLastError")(error);
}
int WSAAsyncSelect(SOCKET s, HWND wnd, UINT msg, long events) {
  return Entry<winsock::PFN_WSAAsyncSelect>("WSAAsyncSelect")(s, wnd, msg, events);
}
HANDLE WSAAsyncGetHostByName(HWND wnd, UINT msg, const char* name, char* buf, int bufLen) {
  return Entry<winsock::PFN_WSAAsyncGetHostByName>("WSAAsyncGetHostByName")(wnd, msg, name, buf,
                                                                            bufLen);
}
HANDLE WSAAsyncGetHostByAddr(HWND wnd, UINT msg, const char* addr, int len, int type, char* buf,
                             int bufLen) {
  return Entry<winsock::PFN_WSAAsyncGetHostByAddr>("WSAAsyncGetHostByAddr")(wnd, msg, addr, len,
                                                                            type, buf, bufLen);
}
int WSACancelAsyncRequest(HANDLE request) {
  return Entry<winsock::PFN_WSACancelAsyncRequest>("WSACancelAsyncRequest")(request);
}
winsock::THostEnt* gethostbyname(const char* name) {
  return Entry<winsock::PFN_gethostbyname>("gethostbyname")(name);
}
winsock::TServEnt* getservbyname(const char* name, const char* proto) {
  return Entry<winsock::PFN_getservbyname>("getservbyname")(name, proto);
}
winsock::TProtoEnt* getprotobyname(const char* name) {
  return Entry<winsock::PFN_getprotobyname>("getprotobyname")(name);
}
std::uint32_t inet_addr(const char* text) {
  return Entry<winsock::PFN_inet_addr>("inet_addr")(text);
}
std::string inet_ntoa(std::uint32_t addr) {
  const char* text = Entry<winsock::PFN_inet_ntoa>("inet_ntoa")(addr);
  return text ? text : "";
}
std::uint16_t htons(std::uint16_t v) {
  return Entry<winsock::PFN_htons>("htons")(v);
}
std::uint16_t ntohs(std::uint16_t v) {
  return Entry<winsock::PFN_ntohs>("ntohs")(v);
}
SOCKET socket(int af, int type, int protocol) {
  return Entry<winsock::PFN_socket>("socket")(af, type, protocol);
}
int bind(SOCKET s, const TSockAddrIn* addr, int len) {
  return Entry<winsock::PFN_bind>("bind")(s, addr, len);
}
int listen(SOCKET s, int backlog) {
  return Entry<winsock::PFN_listen>("listen")(s, backlog);
}
SOCKET accept(SOCKET s, TSockAddrIn* addr, int* len) {
  return Entry<winsock::PFN_accept>("accept")(s, addr, len);
}
int connect(SOCKET s, const TSockAddrIn* addr, int len) {
  return Entry<winsock::PFN_connect>("connect")(s, addr, len);
}
int closesocket(SOCKET s) {
  return Entry<winsock::PFN_closesocket>("closesocket")(s);
}
int shutdown(SOCKET s, int how) {
  return Entry<winsock::PFN_shutdown>("shutdown")(s, how);
}
int send(SOCKET s, const char* buf, int len, int flags) {
  return Entry<winsock::PFN_send>("send")(s, buf, len, flags);
}
int sendto(SOCKET s, const char* buf, int len, int flags, const TSockAddrIn* to, int toLen) {
  return Entry<winsock::PFN_sendto>("sendto")(s, buf, len, flags, to, toLen);
}
int recv(SOCKET s, char* buf, int len, int flags) {
  return Entry<winsock::PFN_recv>("recv")(s, buf, len, flags);
}
int recvfrom(SOCKET s, char* buf, int len, int flags, TSockAddrIn* from, int* fromLen) {
  return Entry<winsock::PFN_recvfrom>("recvfrom")(s, buf, len, flags, from, fromLen);
}
int setsockopt(SOCKET s, int level, int name, const char* value, int len) {
  return Entry<winsock::PFN_setsockopt>("setsockopt")(s, level, name, value, len);
}
int ioctlsocket(SOCKET s, long cmd, std::uint32_t* arg) {
  return Entry<winsock::PFN_ioctlsocket>("ioctlsocket")(s, cmd, arg);
}
int getsockname(SOCKET s, TSockAddrIn* addr, int* len) {
  return Entry<winsock::PFN_getsockname>("getsockname")(s, addr, len);
}
int getpeername(SOCKET s, TSockAddrIn* addr, int* len) {
  return Entry<winsock::PFN_getpeername>("getpeername")(s, addr, len);
}

}  // namespace ws

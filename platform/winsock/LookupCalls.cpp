#include <cstring>

#include "platform/winsock/EntryPoints.h"
#include "platform/winsock/ErrorMap.h"
#include "platform/winsock/HostLookup.h"
#include "platform/winsock/Startup.h"

namespace winsock::api {

using namespace detail;

HANDLE WSAAsyncGetHostByName(HWND wnd, UINT msg, const char* name, char* buf, int bufLen) {
  if (!RequireStartup()) return 0;
  if (name == nullptr) {
    Fail(WSAEFAULT);
    return 0;
  }
  return StartNameLookup(wnd, msg, name, buf, bufLen);
}

HANDLE WSAAsyncGetHostByAddr(HWND wnd, UINT msg, const char* addr, int len, int type, char* buf,
                             int bufLen) {
  if (!RequireStartup()) return 0;
  if (type != PF_INET) {
    Fail(WSAEAFNOSUPPORT);
    return 0;
  }
  if (addr == nullptr || len != 4) {
    Fail(WSAEFAULT);
    return 0;
  }
  std::uint32_t address;
  std::memcpy(&address, addr, sizeof address);
  return StartAddressLookup(wnd, msg, address, buf, bufLen);
}

int WSACancelAsyncRequest(HANDLE request) {
  if (!RequireStartup()) return SOCKET_ERROR;
  return CancelLookup(request);
}

}  // namespace winsock::api

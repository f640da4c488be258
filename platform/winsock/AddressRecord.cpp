#include "platform/winsock/AddressRecord.h"

#include <cstring>

#include "platform/winsock/ErrorMap.h"

namespace winsock::detail {

bool ToSockAddr(const TSockAddrIn* in, int len, sockaddr_in& out) {
  if (in == nullptr || len < static_cast<int>(sizeof(TSockAddrIn))) {
    Fail(WSAEFAULT);
    return false;
  }
  // A zero family is taken as AF_INET, as WinSock 1.1 stacks did.
  if (in->sin_family != AF_INET && in->sin_family != 0) {
    Fail(WSAEAFNOSUPPORT);
    return false;
  }
  out = sockaddr_in{};
  out.sin_family = static_cast<sa_family_t>(posix::kAfInet);
  out.sin_port = in->sin_port;
  out.sin_addr.s_addr = in->sin_addr;
  return true;
}

bool FromSockAddr(const sockaddr_in& in, TSockAddrIn* out, int* len) {
  if (out == nullptr || len == nullptr || *len < static_cast<int>(sizeof(TSockAddrIn))) {
    Fail(WSAEFAULT);
    return false;
  }
  TSockAddrIn rec{};
  rec.sin_family = AF_INET;
  rec.sin_port = in.sin_port;
  rec.sin_addr = in.sin_addr.s_addr;
  std::memcpy(out, &rec, sizeof rec);
  *len = sizeof rec;
  return true;
}

}  // namespace winsock::detail

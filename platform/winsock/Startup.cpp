#include "platform/winsock/Startup.h"

#include <atomic>
#include <cstring>

#include "platform/winsock/EntryPoints.h"
#include "platform/winsock/ErrorMap.h"
#include "platform/winsock/HostLookup.h"
#include "platform/winsock/SocketCalls.h"
#include "platform/winsock/WinsockTestHooks.h"

namespace winsock {

namespace {

constexpr std::uint16_t kVersion11 = 0x0101;

std::atomic<int> startups{0};
std::atomic<int> simulatedStartupError{0};

void FillData(TWSAData& data) {
  std::memset(&data, 0, sizeof data);
  data.wVersion = kVersion11;
  data.wHighVersion = kVersion11;
  std::strncpy(data.szDescription, "WinSock 1.1 over POSIX sockets", sizeof data.szDescription - 1);
  std::strncpy(data.szSystemStatus, "Running", sizeof data.szSystemStatus - 1);
  data.iMaxSockets = 0x7FFF;
  data.iMaxUdpDg = 65467;  // the largest UDP payload over IPv4
  data.lpVendorInfo = nullptr;
}

}  // namespace

void SimulateStartupFailure(int code) {
  simulatedStartupError.store(code);
}
void SimulateLookupDelay(int milliseconds) {
  detail::SetLookupDelay(milliseconds);
}

namespace detail {

bool RequireStartup() {
  if (startups.load() > 0) return true;
  SetLastWsaError(WSANOTINITIALISED);
  return false;
}

}  // namespace detail

namespace api {

int WSAStartup(std::uint16_t version, TWSAData* data) {
  if (int code = simulatedStartupError.load(); code != 0) return code;
  // The major version is the low byte: nothing older than 1.1 is offered.
  const int major = version & 0xFF, minor = version >> 8;
  if (major < 1 || (major == 1 && minor < 1)) return WSAVERNOTSUPPORTED;
  if (data == nullptr) return WSAEFAULT;
  FillData(*data);
  ++startups;
  return 0;
}

int WSACleanup() {
  int now = startups.load();
  do {
    if (now <= 0) return detail::Fail(WSANOTINITIALISED);
  } while (!startups.compare_exchange_weak(now, now - 1));
  if (now == 1) {
    detail::CloseAllSockets();
    detail::CancelAllLookups();
  }
  return 0;
}

int WSAGetLastError() {
  return detail::LastWsaError();
}
void WSASetLastError(int error) {
  detail::SetLastWsaError(error);
}

}  // namespace api
}  // namespace winsock

// Loading the library, finding entry points, and start-up counting.
#include "WinsockFixture.h"

#include <string>
#include <thread>

#include "platform/winsock/WinsockTestHooks.h"

namespace api = winsock::api;

namespace {

// clang-format off
const char* const kEntryNames[] = {
    "WSAStartup", "WSACleanup", "WSAGetLastError", "WSASetLastError", "WSAAsyncSelect",
    "WSAAsyncGetHostByName", "WSAAsyncGetHostByAddr", "WSACancelAsyncRequest", "gethostbyname",
    "getservbyname", "getprotobyname", "inet_addr", "inet_ntoa", "htons", "ntohs", "socket",
    "bind", "listen", "accept", "connect", "closesocket", "shutdown", "send", "sendto", "recv",
    "recvfrom", "setsockopt", "ioctlsocket", "getsockname", "getpeername"};
// clang-format on

}  // namespace

TEST(WinsockLibrary, LoadsOnlyWsock32AndFindsEveryEntryPointByName) {
  EXPECT_EQ(winsock::LoadLibrary("ws2_32.dll"), 0u);
  EXPECT_EQ(winsock::LastOsError(), 126u);
  EXPECT_EQ(winsock::LoadLibrary(nullptr), 0u);
  std::uintptr_t module = winsock::LoadLibrary("WSock32.DLL");
  ASSERT_NE(module, 0u);
  for (const char* name : kEntryNames)
    EXPECT_NE(winsock::GetProcAddress(module, name), nullptr) << name;
  // The table really leads to the implementation, with WinSock's signature.
  auto startup =
      reinterpret_cast<winsock::PFN_WSAStartup>(winsock::GetProcAddress(module, "WSAStartup"));
  EXPECT_EQ(startup, &api::WSAStartup);
  auto port = reinterpret_cast<winsock::PFN_htons>(winsock::GetProcAddress(module, "htons"));
  EXPECT_EQ(port(0x1234), 0x3412);

  EXPECT_EQ(winsock::GetProcAddress(module, "WSAStartupEx"), nullptr);
  EXPECT_EQ(winsock::LastOsError(), 127u);
  EXPECT_EQ(winsock::GetProcAddress(module, "SOCKET"), nullptr) << "names are case-sensitive";
  EXPECT_EQ(winsock::GetProcAddress(module, nullptr), nullptr);
  EXPECT_EQ(winsock::GetProcAddress(module + 1, "socket"), nullptr);
  EXPECT_TRUE(winsock::FreeLibrary(module));
  EXPECT_FALSE(winsock::FreeLibrary(module)) << "freed more often than loaded";
  EXPECT_EQ(winsock::GetProcAddress(module, "socket"), nullptr);
}

TEST(WinsockLibrary, StartupsAreCountedAndGateEveryCall) {
  EXPECT_EQ(api::Socket(winsock::AF_INET, winsock::SOCK_STREAM, 0), winsock::INVALID_SOCKET);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSANOTINITIALISED);
  EXPECT_EQ(api::WSACleanup(), winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSANOTINITIALISED);

  winsock::TWSAData data;
  EXPECT_EQ(api::WSAStartup(0x0001, &data), winsock::WSAVERNOTSUPPORTED);
  ASSERT_EQ(api::WSAStartup(0x0101, &data), 0);
  EXPECT_EQ(data.wVersion, 0x0101);
  EXPECT_EQ(api::WSAStartup(0x0202, &data), 0) << "a newer request gets 1.1";
  EXPECT_EQ(data.wVersion, 0x0101);
  winsock::SOCKET s = api::Socket(winsock::AF_INET, winsock::SOCK_STREAM, 0);
  ASSERT_NE(s, winsock::INVALID_SOCKET);
  EXPECT_EQ(api::WSACleanup(), 0);
  // Still one start-up left: the socket lives on.
  std::uint32_t waiting;
  EXPECT_EQ(api::IoctlSocket(s, winsock::FIONREAD, &waiting), 0);
  EXPECT_EQ(api::WSACleanup(), 0);
  // The last clean-up closes what is left, and calls fail again.
  EXPECT_EQ(api::IoctlSocket(s, winsock::FIONREAD, &waiting), winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSANOTINITIALISED);
  ASSERT_EQ(api::WSAStartup(0x0101, &data), 0);
  EXPECT_EQ(api::IoctlSocket(s, winsock::FIONREAD, &waiting), winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAENOTSOCK);
  EXPECT_EQ(api::WSACleanup(), 0);
}

TEST(WinsockLibrary, SimulatedStartupFailureIsReportedUntilCleared) {
  winsock::TWSAData data;
  winsock::SimulateStartupFailure(winsock::WSASYSNOTREADY);
  EXPECT_EQ(api::WSAStartup(0x0101, &data), winsock::WSASYSNOTREADY);
  EXPECT_EQ(api::Socket(winsock::AF_INET, winsock::SOCK_STREAM, 0), winsock::INVALID_SOCKET);
  winsock::SimulateStartupFailure(0);
  ASSERT_EQ(api::WSAStartup(0x0101, &data), 0);
  EXPECT_EQ(api::WSACleanup(), 0);
}

TEST(WinsockLibrary, LastErrorBelongsToTheThread) {
  api::WSASetLastError(winsock::WSAEINTR);
  int other = -1;
  std::thread([&] {
    other = api::WSAGetLastError();
    api::WSASetLastError(winsock::WSAEFAULT);
  }).join();
  EXPECT_EQ(other, 0);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAEINTR);
}

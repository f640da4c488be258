// The blocking conversions, options and address queries.
#include "WinsockFixture.h"

#include <cstring>
#include <string>

namespace api = winsock::api;
using winsock::SOCKET;

TEST_F(WinsockTest, ServiceAndProtocolNamesResolveEvenWithoutSystemDatabases) {
  winsock::TServEnt* pop3 = api::GetServByName("pop3", "tcp");
  ASSERT_NE(pop3, nullptr);
  EXPECT_EQ(static_cast<std::uint16_t>(pop3->s_port), api::Htons(110)) << "network order";
  EXPECT_STREQ(pop3->s_proto, "tcp");
  // Debian's services file has no pop3/udp; the built-in table answers for it.
  winsock::TServEnt* pop3udp = api::GetServByName("POP3", "udp");
  ASSERT_NE(pop3udp, nullptr);
  EXPECT_EQ(api::Ntohs(static_cast<std::uint16_t>(pop3udp->s_port)), 110);
  winsock::TServEnt* any = api::GetServByName("smtp", nullptr);
  ASSERT_NE(any, nullptr);
  EXPECT_EQ(api::Ntohs(static_cast<std::uint16_t>(any->s_port)), 25);
  EXPECT_EQ(api::GetServByName("no-such-service", "tcp"), nullptr);
  EXPECT_NE(api::WSAGetLastError(), 0);

  winsock::TProtoEnt* tcp = api::GetProtoByName("tcp");
  ASSERT_NE(tcp, nullptr);
  EXPECT_EQ(tcp->p_proto, 6);
  ASSERT_NE(api::GetProtoByName("udp"), nullptr);
  EXPECT_EQ(api::GetProtoByName("udp")->p_proto, 17);
  EXPECT_EQ(api::GetProtoByName("no-such-protocol"), nullptr);
}

TEST_F(WinsockTest, DottedAddressesConvertBothWays) {
  EXPECT_EQ(api::InetAddr("127.0.0.1"), htonl(0x7F000001));
  EXPECT_EQ(api::InetAddr("10.0.0.1"), htonl(0x0A000001));
  EXPECT_EQ(api::InetAddr("256.1.1.1"), winsock::INADDR_NONE);
  EXPECT_EQ(api::InetAddr("mail.example"), winsock::INADDR_NONE);
  EXPECT_EQ(api::InetAddr(""), winsock::INADDR_NONE);
  EXPECT_EQ(api::InetAddr(nullptr), winsock::INADDR_NONE);
  EXPECT_EQ(api::InetAddr("255.255.255.255"), 0xFFFFFFFFu);
  EXPECT_STREQ(api::InetNtoa(htonl(0xC0A80102)), "192.168.1.2");
  EXPECT_STREQ(api::InetNtoa(0xFFFFFFFFu), "255.255.255.255");
}

TEST_F(WinsockTest, GetHostByNameGivesAddressesForNamesAndDottedText) {
  winsock::THostEnt* host = api::GetHostByName("127.0.0.1");
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(host->h_addrtype, winsock::AF_INET);
  EXPECT_EQ(host->h_length, 4);
  ASSERT_NE(host->h_addr_list[0], nullptr);
  std::uint32_t first;
  std::memcpy(&first, host->h_addr_list[0], 4);
  EXPECT_EQ(first, htonl(0x7F000001));
  host = api::GetHostByName("localhost");
  ASSERT_NE(host, nullptr);
  std::memcpy(&first, host->h_addr_list[0], 4);
  EXPECT_EQ(first, htonl(0x7F000001));
  EXPECT_EQ(api::GetHostByName("no-such-host.invalid"), nullptr);
  int error = api::WSAGetLastError();
  EXPECT_TRUE(error == winsock::WSAHOST_NOT_FOUND || error == winsock::WSATRY_AGAIN ||
              error == winsock::WSANO_DATA)
      << error;
}

TEST_F(WinsockTest, OptionsTakeWinsockNumbersAndRecords) {
  SOCKET s = TrackSocket(api::Socket(winsock::AF_INET, winsock::SOCK_STREAM, 0));
  const std::int32_t on = -1;
  const char* value = reinterpret_cast<const char*>(&on);
  EXPECT_EQ(api::SetSockOpt(s, winsock::SOL_SOCKET, winsock::SO_KEEPALIVE, value, 4), 0);
  EXPECT_EQ(api::SetSockOpt(s, winsock::SOL_SOCKET, winsock::SO_REUSEADDR, value, 4), 0);
  winsock::TLinger lg{1, 7};
  EXPECT_EQ(api::SetSockOpt(s, winsock::SOL_SOCKET, winsock::SO_LINGER,
                            reinterpret_cast<const char*>(&lg), sizeof lg),
            0);
  EXPECT_EQ(api::SetSockOpt(s, winsock::SOL_SOCKET, winsock::SO_LINGER, value, 2),
            winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAEFAULT);
  EXPECT_EQ(api::SetSockOpt(s, winsock::SOL_SOCKET, 0x7777, value, 4), winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAENOPROTOOPT);

  // The numbers really reached Linux: read them back from the descriptor's side.
  winsock::TSockAddrIn local = Loopback(0);
  ASSERT_EQ(api::Bind(s, &local, sizeof local), 0);
  EXPECT_EQ(api::Bind(s, &local, sizeof local), winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAEINVAL);
  int len = 8;
  EXPECT_EQ(api::GetSockName(s, &local, &len), winsock::SOCKET_ERROR) << "record too short";
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAEFAULT);
  len = sizeof local;
  ASSERT_EQ(api::GetSockName(s, &local, &len), 0);
  EXPECT_EQ(local.sin_family, winsock::AF_INET);
  EXPECT_NE(local.sin_port, 0);
  EXPECT_EQ(api::GetPeerName(s, &local, &len), winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAENOTCONN);
}

TEST_F(WinsockTest, SendingOnAnUnconnectedOrShutSocketNamesTheReason) {
  SOCKET s = TrackSocket(api::Socket(winsock::AF_INET, winsock::SOCK_STREAM, 0));
  EXPECT_EQ(api::Send(s, "x", 1, 0), winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAENOTCONN);
  EXPECT_EQ(api::Socket(winsock::AF_INET + 1, winsock::SOCK_STREAM, 0), winsock::INVALID_SOCKET);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAEAFNOSUPPORT);

  int peer;
  SOCKET c = ConnectedPair(peer);
  int len = 16;
  winsock::TSockAddrIn remote{};
  ASSERT_EQ(api::GetPeerName(c, &remote, &len), 0);
  EXPECT_EQ(remote.sin_addr, htonl(0x7F000001));
  EXPECT_EQ(api::Send(c, "abc", 3, 0), 3);
  ASSERT_EQ(api::Shutdown(c, winsock::SD_SEND), 0);
  EXPECT_EQ(api::Send(c, "x", 1, 0), winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAESHUTDOWN);
  char buf[8];
  EXPECT_EQ(::recv(peer, buf, sizeof buf, 0), 3);
  EXPECT_EQ(::recv(peer, buf, sizeof buf, 0), 0) << "the peer sees the end of the stream";
}

TEST_F(WinsockTest, LingeringCloseNeverBlocksTheCallerAndStillDeliversTheData) {
  int peer;
  SOCKET s = ConnectedPair(peer);
  const long sent = FillUntilWouldBlock(s);
  winsock::TLinger lg{1, 5};
  ASSERT_EQ(api::SetSockOpt(s, winsock::SOL_SOCKET, winsock::SO_LINGER,
                            reinterpret_cast<const char*>(&lg), sizeof lg),
            0);
  // Nobody reads yet, so a lingering close() would wait the full five seconds.
  std::uint64_t start = TickCount();
  ASSERT_EQ(api::CloseSocket(s), 0);
  EXPECT_LT(TickCount() - start, 1000u);
  long received = 0;
  std::string sink(1 << 16, '\0');
  timeval bound{5, 0};
  ::setsockopt(peer, posix::kSolSocket, SO_RCVTIMEO, &bound, sizeof bound);
  for (;;) {
    ssize_t n = ::recv(peer, sink.data(), sink.size(), 0);
    ASSERT_GE(n, 0) << "the connection must end in order, not be reset";
    if (n == 0) break;
    received += n;
  }
  EXPECT_EQ(received, sent);
}

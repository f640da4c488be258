// The unit's conversions and texts: what Connect and Listen rely on before any socket exists.

#include <gtest/gtest.h>

#include "SocketEventLog.h"

namespace {

TEST(SocketResolveTest, LeadingNumberStopsAtFirstNonDigit) {
  EXPECT_EQ(ParseLeadingNumber("110"), 110);
  EXPECT_EQ(ParseLeadingNumber("110x"), 110);
  EXPECT_EQ(ParseLeadingNumber("   25 and more"), 25);
  EXPECT_EQ(ParseLeadingNumber(""), 0);
  EXPECT_EQ(ParseLeadingNumber("-5"), 0);
  EXPECT_EQ(ParseLeadingNumber("\t5"), 0);  // only spaces are skipped
}

TEST(SocketResolveTest, PortsByNumberAndServiceName) {
  EXPECT_EQ(WSocketResolvePort("pop3", "tcp"), 110);
  EXPECT_EQ(WSocketResolvePort("110", "tcp"), 110);
  EXPECT_EQ(WSocketResolvePort("110x", "tcp"), 110);
  EXPECT_EQ(WSocketResolvePort("  pop3  ", "  tcp "), 110);
  EXPECT_EQ(ExceptionText([] { WSocketResolvePort(std::string(32, '1'), "tcp"); }),
            "WSocketResolvePort: Invalid Port.");
  EXPECT_EQ(WSocketResolvePort(std::string(31, '0'), "tcp"), 0);
  EXPECT_EQ(ExceptionText([] { WSocketResolvePort("", "tcp"); }),
            "WSocketResolvePort: Invalid Port.");
  EXPECT_EQ(ExceptionText([] { WSocketResolvePort("nosuchservice", "tcp"); }),
            "WSocketResolvePort: Cannot convert port 'nosuchservice'");
}

TEST(SocketResolveTest, HostsByDottedAddress) {
  EXPECT_EQ(WSocketResolveHost("127.0.0.1"), 0x0100007Fu);
  EXPECT_EQ(WSocketResolveHost("255.255.255.255"), 0xFFFFFFFFu);
  EXPECT_EQ(ExceptionText([] { WSocketResolveHost("256.1.1.1"); }),
            "WSocketResolveHost: '256.1.1.1' Invalid IP address.");
  EXPECT_EQ(ExceptionText([] { WSocketResolveHost(""); }),
            "WSocketResolveHost: '' Invalid Hostname.");
  std::string longName(257, 'a');
  EXPECT_EQ(ExceptionText([&] { WSocketResolveHost(longName); }),
            "WSocketResolveHost: '" + longName + "' Invalid Hostname.");
  EXPECT_EQ(WSocketResolveHost("localhost"), 0x0100007Fu);
}

TEST(SocketResolveTest, ProtocolsByNameAndNumber) {
  EXPECT_EQ(WSocketResolveProto("tcp"), 6);
  EXPECT_EQ(WSocketResolveProto("udp"), 17);
  EXPECT_EQ(WSocketResolveProto("17"), 17);
  EXPECT_EQ(ExceptionText([] { WSocketResolveProto(""); }),
            "WSocketResolveProto: Invalid Protocol.");
  EXPECT_EQ(ExceptionText([] { WSocketResolveProto("nosuchproto"); }),
            "WSocketResolveProto: Cannot convert protocol 'nosuchproto'");
}

TEST(SocketResolveTest, ErrorTextsCoverTheTableAndNothingElse) {
  EXPECT_EQ(WinsockErrorText(0), "No Error");
  EXPECT_EQ(WinsockErrorText(10035), "Operation would block");
  EXPECT_EQ(WinsockErrorText(10047), "Address family not supported by protocol family");
  EXPECT_EQ(WinsockErrorText(10061), "Connection refused");
  EXPECT_EQ(WinsockErrorText(10071), "Too many levels of remote in path");
  EXPECT_EQ(WinsockErrorText(10093), "WinSock not initialized");
  EXPECT_EQ(WinsockErrorText(11004), "No Data");
  EXPECT_EQ(WinsockErrorText(10001), "Not a WinSock error");
  EXPECT_EQ(WinsockErrorText(10072), "Not a WinSock error");
  EXPECT_EQ(WinsockErrorText(-1), "Not a WinSock error");
}

TEST(SocketResolveTest, SendQueueBlockKeepsItsCounts) {
  TBuffer block(0);
  EXPECT_EQ(block.Capacity(), 1514);
  std::string bytes(2000, 'x');
  EXPECT_EQ(block.Write(bytes.data(), 2000), 1514);
  EXPECT_EQ(block.Write("y", 1), 0);
  EXPECT_EQ(block.Remove(14), 14);
  // Room freed at the front is not reused before the block is empty.
  EXPECT_EQ(block.Write("y", 1), 0);
  int len = 0;
  const char* unread = block.Peek(len);
  ASSERT_EQ(len, 1500);
  EXPECT_EQ(unread[0], 'x');
  EXPECT_EQ(block.Remove(5000), 1500);
  EXPECT_EQ(block.Peek(len), nullptr);
  EXPECT_EQ(len, 0);
  EXPECT_EQ(block.Write(bytes.data(), 10), 10);
  EXPECT_EQ(block.Unread(), 10);
}

}  // namespace

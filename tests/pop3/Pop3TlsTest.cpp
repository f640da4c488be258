// POP3 over TLS: which ports mean implicit TLS, and what the client reports when the TLS
// stream breaks, against an in-process TLS server reached as "pop3s".

#include <string>

#include "Pop3Fixture.h"
#include "platform/winsock/WinsockTestHooks.h"
#include "pop3/Pop3Parse.h"
#include "support/TlsPeer.h"

namespace {

TEST(Pop3Tls, OnlyPort995AndPop3sMeanImplicitTls) {
  for (const char* port : {"995", " 995 ", "0995", "995x", "pop3s", "POP3S", " pop3s"})
    EXPECT_TRUE(IsImplicitTlsPort(port)) << port;
  for (const char* port : {"110", "pop3", "1995", "9950", "", "pop3s2", "imaps", "99 5"})
    EXPECT_FALSE(IsImplicitTlsPort(port)) << port;
}

// The refusals and a whole session are shown against Dovecot (tests/integration); here, a
// stream that breaks in the middle of a command.
class Pop3TlsServer : public Pop3Fixture {
 protected:
  void TearDown() override { winsock::SimulateService("pop3s", 0); }
};

TEST_F(Pop3TlsServer, AStreamBrokenDuringACommandEndsItOnceWithTheReason) {
  const TTestTrust trust;
  peer.Do(TlsHandshake(trust.Server))
      .Send("+OK ready\r\n")
      .Expect()
      .SendRaw(std::string("\x17\x03\x03\x00\x20", 5) + std::string(32, 'x'));
  winsock::SimulateService("pop3s", peer.PortNumber());
  pop3.SetHost("localhost");
  pop3.SetPort("pop3s");
  pop3.Connect();
  ASSERT_TRUE(WaitDone(1, 10000));
  pop3.User();
  ASSERT_TRUE(RunLoopUntil([&] { return peer.Done() && peer.ComponentClosed(); }, 10000));
  ExpectReports({{pop3RqConnect, 0}, {pop3RqUser, 10004}});
  EXPECT_TRUE(pop3.ErrorMessage().starts_with("-ERR TLS: connection broken: "))
      << pop3.ErrorMessage();
  EXPECT_TRUE(Logged("disp " + pop3.ErrorMessage()));
}

}  // namespace

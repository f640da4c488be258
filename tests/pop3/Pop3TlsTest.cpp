// POP3 over TLS: which ports mean implicit TLS, and what the client reports when the TLS
// stream breaks, against an in-process TLS server reached as "pop3s".

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/winsock/WinsockTestHooks.h"
#include "pop3/Pop3Cli.h"
#include "pop3/Pop3Parse.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"
#include "support/TlsPeer.h"
#include "support/TlsSuite.h"

namespace {

TEST(Pop3Tls, OnlyPort995AndPop3sMeanImplicitTls) {
  for (const char* port : {"995", " 995 ", "0995", "995x", "pop3s", "POP3S", " pop3s"})
    EXPECT_TRUE(IsImplicitTlsPort(port)) << port;
  for (const char* port : {"110", "pop3", "1995", "9950", "", "pop3s2", "imaps", "99 5"})
    EXPECT_FALSE(IsImplicitTlsPort(port)) << port;
}

class Pop3TlsServer : public TTlsSuite {
 protected:
  void SetUp() override {
    TTlsSuite::SetUp();
    pop3.SetHost("localhost");
    pop3.SetPort("pop3s");
    pop3.SetUserName("alice");
    pop3.OnRequestDone = [this](TObject*, TPop3Request rq, std::uint16_t error) {
      done.emplace_back(rq, error);
    };
    pop3.OnDisplay = [this](TObject*, const std::string& msg) { display.push_back(msg); };
  }
  void TearDown() override { winsock::SimulateService("pop3s", 0); }

  void Serve(const TScriptedPeer& peer) { winsock::SimulateService("pop3s", peer.PortNumber()); }
  bool Run(void (TPop3Cli::*op)(), std::size_t reports) {
    (pop3.*op)();
    return RunLoopUntil([&] { return done.size() >= reports; }, 10000);
  }

  std::vector<std::pair<TPop3Request, std::uint16_t>> done;
  std::vector<std::string> display;
  TPop3Cli pop3;
};

using TDone = std::pair<TPop3Request, std::uint16_t>;
// The refusals and a whole session are shown against Dovecot (tests/integration); here, a
// stream that breaks in the middle of a command.
TEST_F(Pop3TlsServer, AStreamBrokenDuringACommandEndsItOnceWithTheReason) {
  TScriptedPeer peer;
  peer.Do(TlsHandshake(trust->Server))
      .Send("+OK ready\r\n")
      .Expect()
      .SendRaw(std::string("\x17\x03\x03\x00\x20", 5) + std::string(32, 'x'));
  Serve(peer);
  ASSERT_TRUE(Run(&TPop3Cli::Connect, 1));
  ASSERT_TRUE(Run(&TPop3Cli::User, 2));
  ASSERT_TRUE(RunLoopUntil([&] { return peer.Done() && peer.ComponentClosed(); }, 10000));
  DrainMessages();
  EXPECT_EQ(done, (std::vector<TDone>{{pop3RqConnect, 0}, {pop3RqUser, 10004}}));
  EXPECT_TRUE(pop3.ErrorMessage().starts_with("-ERR TLS: connection broken: "))
      << pop3.ErrorMessage();
  EXPECT_EQ(display.back(), pop3.ErrorMessage());
}

}  // namespace

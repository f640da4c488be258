// TPop3Cli over TLS against a real Dovecot that speaks POP3 over TLS only (ssl = required)
// on a loopback port the test names "pop3s", with an authority and certificates the test
// makes: a whole session directly and through a SOCKS 5 proxy, the certificates the
// checks refuse, and a plain-text server on the TLS port.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DovecotMessages.h"
#include "Pop3Session.h"
#include "SocksProxyProcess.h"
#include "platform/winsock/WinsockTestHooks.h"
#include "support/TlsSuite.h"

namespace {

// The client's socket, reached the way a subclass may, to send it through a proxy: the
// program itself never configures one.
class TProxiedPop3Cli : public TPop3Cli {
 public:
  void ThroughProxy(const std::string& proxyPort) {
    FSocket->SetSocksServer("127.0.0.1");
    FSocket->SetSocksPort(proxyPort);
    FSocket->SetSocksLevel("5");
    FSocket->OnSocksConnected = [this](TObject*, std::uint16_t error) {
      if (error == 0) ++ProxyConnections;
    };
  }
  int ProxyConnections = 0;
};

class Pop3TlsDovecot : public TTlsSuite, protected TPop3Session<TProxiedPop3Cli> {
 protected:
  static void SetUpTestSuite() {
    if (!TDovecotServer::Available()) return;
    TTlsSuite::SetUpTestSuite();
    suite = new TSuiteServer("Sealed figures", 995);
    std::vector<std::string> users, mails;
    for (const char* user : {"alice", "proxied"}) {
      users.push_back(std::string(user) + ":secret");
      mails.push_back(std::string(user) + ":" + Pop3DataPath("plain.eml"));
      mails.push_back(std::string(user) + ":" + suite->bigPath);
    }
    suite->started = suite->server.Start(users, mails, false, CertFile(trust->Server, "server"),
                                         trust->Dir + "/server.key");
  }
  static void TearDownTestSuite() {
    delete suite;
    suite = nullptr;
    TTlsSuite::TearDownTestSuite();
  }
  static std::string CertFile(const TCertificate& cert, const std::string& name) {
    WriteTextFile(trust->Dir, name + ".key", cert.KeyPem);
    return WriteTextFile(trust->Dir, name + ".pem", cert.CertPem);
  }

  void SetUp() override {
    if (!suite) GTEST_SKIP() << TDovecotServer::SkipReason();
    ASSERT_TRUE(suite->started) << "Dovecot did not start; see the output above";
    TTlsSuite::SetUp();
    NamePop3s(suite->server);
    pop3.SetHost("localhost");
    pop3.SetPort("pop3s");
  }
  void TearDown() override { winsock::SimulateService("pop3s", 0); }

  static void NamePop3s(const TDovecotServer& s) {
    winsock::SimulateService("pop3s", static_cast<std::uint16_t>(std::stoi(s.Port())));
  }
  // Another process writes what is awaited, and nothing wakes the loop when it does, so the
  // loop runs in short slices.
  static bool WaitFor(const std::function<bool()>& cond, int ms = 10000) {
    for (int waited = 0; waited < ms; waited += 20)
      if (RunLoopUntil(cond, 20)) return true;
    return cond();
  }

  // Login, STAT, RETR of the 5 MB message byte for byte, DELE 1, QUIT: the deletion is
  // committed on the server.
  void WholeSession(const std::string& user) {
    pop3.SetUserName(user);
    ASSERT_EQ(Do(&TPop3Cli::Login), 0) << pop3.ErrorMessage();
    ASSERT_EQ(Do(&TPop3Cli::Stat), 0);
    const std::string big = ReadFile(suite->bigPath);
    EXPECT_EQ(pop3.MsgCount(), 2);
    EXPECT_EQ(pop3.MsgSize(),
              static_cast<int>(AsServed(Pop3DataPath("plain.eml")).size() + big.size()));
    pop3.SetMsgNum(2);
    ASSERT_EQ(Do(&TPop3Cli::Retr), 0);
    ASSERT_EQ(message.size(), big.size());
    EXPECT_TRUE(message == big) << "the 5 MB message differs from what was stored";
    EXPECT_TRUE(Base64Decode(AttachmentText(message)) == suite->payload);
    pop3.SetMsgNum(1);
    ASSERT_EQ(Do(&TPop3Cli::Dele), 0);
    ASSERT_EQ(Do(&TPop3Cli::Quit), 0);
    ASSERT_TRUE(RunLoopUntil([&] { return closed; }, 10000));
    EXPECT_EQ(suite->server.Remaining(user), std::vector<std::string>{"big.eml"});
    EXPECT_NE(suite->server.Log().find("Login: user=<" + user +
                                       ">, method=PLAIN, rip=127.0.0.1, lip=127.0.0.1, mpid="),
              std::string::npos);
  }

  inline static TSuiteServer* suite = nullptr;
};

TEST_F(Pop3TlsDovecot, LoginStatRetrDeleQuitOverTls) {
  WholeSession("alice");
}

TEST_F(Pop3TlsDovecot, TheSameThroughASocks5ProxyThatCarriesTheEncryptedStream) {
  if (const std::string why = TSocksProxyProcess::MissingReason("microsocks"); !why.empty())
    GTEST_SKIP() << why;
  TSocksProxyProcess proxy("microsocks");
  ASSERT_TRUE(proxy.Started()) << proxy.Output();
  pop3.ThroughProxy(proxy.Port());
  WholeSession("proxied");
  EXPECT_EQ(pop3.ProxyConnections, 1);
}

// Each refusal has its own text; the server logs the client's alert and no login attempt.
TEST_F(Pop3TlsDovecot, CertificatesThatFailTheChecksAreRefusedBeforeAnyCommand) {
  const TTestAuthority stranger("Unknown Authority");
  struct TCase {
    TCertificate cert;
    int code;
    std::string text;
  };
  const std::vector<TCase> cases = {
      {trust->Authority.Issue({"mail.example.org"}), tlsWrongName,
       "-ERR TLS: certificate is not valid for localhost"},
      {trust->Authority.Issue({"localhost"}, -30, -1), tlsExpired,
       "-ERR TLS: certificate has expired"},
      {stranger.Issue({"localhost"}), tlsUntrusted,
       "-ERR TLS: certificate is not issued by a trusted authority"},
  };
  TDovecotServer refusing;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.text);
    ASSERT_TRUE(refusing.Start({"alice:secret"}, {}, false, CertFile(c.cert, "refused"),
                               trust->Dir + "/refused.key"));
    NamePop3s(refusing);
    display.clear();
    EXPECT_EQ(Do(&TPop3Cli::Login), c.code);
    EXPECT_EQ(pop3.ErrorMessage(), c.text);
    for (const std::string& line : display) EXPECT_FALSE(line.starts_with(">")) << line;
    EXPECT_TRUE(WaitFor([&] {
      return refusing.Log().find("no auth attempts") != std::string::npos;
    })) << refusing.Log();
    EXPECT_EQ(refusing.Log().find("Login:"), std::string::npos);
  }
}

TEST_F(Pop3TlsDovecot, APlainTextServerOnThePop3sPortIsRefusedWithoutAHang) {
  TDovecotServer plain;
  ASSERT_TRUE(plain.Start({"alice:secret"}, {}));
  NamePop3s(plain);
  EXPECT_EQ(Do(&TPop3Cli::Login), tlsNotTls);
  EXPECT_EQ(pop3.ErrorMessage(), "-ERR TLS: server does not speak TLS on this port");
  EXPECT_EQ(reports, 1);
}

}  // namespace

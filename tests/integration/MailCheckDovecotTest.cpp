// The whole mail check, headless and in-process, against a real Dovecot: plain POP3, and
// POP3 over TLS on "pop3s" from a server that serves nothing without TLS. The user's
// answers delete one message and keep another, and the server's side tells what is left.

#include <string>
#include <vector>

#include "CheckHarness.h"
#include "DovecotMessages.h"
#include "DovecotServer.h"
#include "app/Main.h"
#include "platform/winsock/WinsockTestHooks.h"
#include "support/TestAuthority.h"

namespace {

class MailCheckDovecot : public CheckHarness {
 protected:
  static void SetUpTestSuite() {
    if (!TDovecotServer::Available()) return;
    trust = new TTestTrust();
    server = new TDovecotServer();
    mails = new std::vector<std::string>;
    const std::vector<std::pair<std::string, std::string>> files = {
        {"clean.eml", ""}, {"invoice.eml", "invoice.pdf.exe"}, {"script.eml", "readme.vbs"}};
    for (const auto& [file, attachment] : files) {
      const std::string path = server->Dir() + "/" + file;
      WriteFile(path, attachment.empty()
                          ? "From: Erin <erin@example.org>\r\nSubject: hello\r\n\r\nJust text.\r\n"
                          : MessageWithAttachment(file, attachment, RandomBytes(3000, 7)));
      mails->push_back("alice:" + path);
    }
  }
  static void TearDownTestSuite() {
    delete server;
    delete trust;
    delete mails;
    server = nullptr;
  }
  void SetUp() override {
    if (!server) GTEST_SKIP() << TDovecotServer::SkipReason();
    CheckHarness::SetUp();
    trust->Trust();
  }
  void TearDown() override {
    winsock::SimulateService("pop3s", 0);
    if (server) CheckHarness::TearDown();
  }

  // Two warnings: deletion at the first, continue at the second; the deletion is committed
  // by the QUIT, so the user closes the window once the client has logged out.
  void CheckMailbox(const std::string& port) {
    RunCheck(
        {"clean, invoice.pdf.exe and readme.vbs",
         nullptr,
         {Delete(), Continue()},
         LoggedIn() + TLines{"fWarn invoice.eml invoice.pdf.exe (spool 2 3)",
                             "lInfo Deleting the message...", "lInfo Continue checking...",
                             "fWarn script.eml readme.vbs (spool 3)", "lInfo Checking finished."},
         {},
         nullptr,
         {"localhost", port, "alice", "secret"},
         20000,
         [] { return fMain->Pop3.ProtocolState() == pop3Disconnected; }});
    EXPECT_EQ(server->Remaining("alice"), (std::vector<std::string>{"clean.eml", "script.eml"}));
  }

  inline static TTestTrust* trust = nullptr;
  inline static TDovecotServer* server = nullptr;
  inline static std::vector<std::string>* mails = nullptr;
};

TEST_F(MailCheckDovecot, TwoWarningsOneDeletionTwoMessagesLeft) {
  ASSERT_TRUE(server->Start({"alice:secret"}, *mails));
  CheckMailbox(server->Port());
}

TEST_F(MailCheckDovecot, TheSameOverTlsOnPop3s) {
  const std::string cert = WriteTextFile(trust->Dir, "server.pem", trust->Server.CertPem);
  const std::string key = WriteTextFile(trust->Dir, "server.key", trust->Server.KeyPem);
  ASSERT_TRUE(server->Start({"alice:secret"}, *mails, false, cert, key));
  winsock::SimulateService("pop3s", static_cast<std::uint16_t>(std::stoi(server->Port())));
  CheckMailbox("pop3s");
  EXPECT_NE(server->Log().find("TLS"), std::string::npos) << server->Log();
}

}  // namespace

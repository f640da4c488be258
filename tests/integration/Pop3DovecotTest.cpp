// TPop3Cli against a real Dovecot POP3 server on loopback.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DovecotMessages.h"
#include "Pop3Session.h"

namespace {

class Pop3Dovecot : public ::testing::Test, protected TPop3Session<TPop3Cli> {
 protected:
  static void SetUpTestSuite() {
    if (!TDovecotServer::Available()) return;
    suite = new TSuiteServer("Quarterly figures", 20261207);
    // Tests that change a mailbox each own a user of their own. APOP is enabled, which leaves
    // USER/PASS working.
    std::vector<std::string> users, mails;
    for (const char* user : {"alice", "dele", "rset"}) {
      users.push_back(std::string(user) + ":secret");
      for (const std::string& file :
           {Pop3DataPath("plain.eml"), Pop3DataPath("dots.eml"), suite->bigPath})
        mails.push_back(std::string(user) + ":" + file);
    }
    suite->started = suite->server.Start(users, mails, /*apop=*/true);
  }
  static void TearDownTestSuite() {
    delete suite;
    suite = nullptr;
  }

  void SetUp() override {
    if (!suite) GTEST_SKIP() << TDovecotServer::SkipReason();
    ASSERT_TRUE(suite->started) << "Dovecot did not start; see the output above";
    pop3.SetHost("127.0.0.1");
    pop3.SetPort(suite->server.Port());
  }

  inline static TSuiteServer* suite = nullptr;
};

TEST_F(Pop3Dovecot, UserPassThenStatUidlRetrAndTop) {
  const std::string plain = AsServed(Pop3DataPath("plain.eml"));
  const std::string dots = AsServed(Pop3DataPath("dots.eml"));
  const std::string big = ReadFile(suite->bigPath);

  ASSERT_EQ(Do(&TPop3Cli::Connect), 0);
  EXPECT_TRUE(pop3.LastResponse().starts_with("+OK"));
  ASSERT_EQ(Do(&TPop3Cli::User), 0);
  ASSERT_EQ(Do(&TPop3Cli::Pass), 0);
  EXPECT_EQ(pop3.ProtocolState(), pop3Transaction);

  ASSERT_EQ(Do(&TPop3Cli::Stat), 0);
  EXPECT_EQ(pop3.MsgCount(), 3);
  EXPECT_EQ(pop3.MsgSize(), static_cast<int>(plain.size() + dots.size() + big.size()));

  std::vector<std::string> ids;
  pop3.OnUidlLine = [&](TObject*) { ids.push_back(pop3.MsgUidl()); };
  pop3.SetMsgNum(0);
  ASSERT_EQ(Do(&TPop3Cli::Uidl), 0);
  ASSERT_EQ(ids.size(), 3u);
  for (int n = 1; n <= 3; ++n) {
    pop3.SetMsgNum(n);
    ASSERT_EQ(Do(&TPop3Cli::Uidl), 0);
    EXPECT_EQ(pop3.MsgNum(), n);
    EXPECT_EQ(pop3.MsgUidl(), ids[n - 1]);
    EXPECT_EQ(pop3.MsgUidl().size(), 16u);  // the server's %08Xu%08Xv format
  }
  EXPECT_NE(ids[0], ids[1]);

  pop3.SetMsgNum(2);
  ASSERT_EQ(Do(&TPop3Cli::Retr), 0);
  EXPECT_EQ(lastRequest, pop3RqRetr);
  EXPECT_EQ(message, dots);  // dotted lines come back exactly as stored

  pop3.SetMsgNum(3);
  ASSERT_EQ(Do(&TPop3Cli::Retr), 0);
  ASSERT_EQ(message.size(), big.size());
  EXPECT_TRUE(message == big) << "the 5 MB message differs from what was stored";
  EXPECT_TRUE(Base64Decode(AttachmentText(message)) == suite->payload)
      << "the decoded attachment differs from the original bytes";

  pop3.SetMsgNum(1);
  pop3.SetMsgLines(0);
  ASSERT_EQ(Do(&TPop3Cli::Top), 0);
  EXPECT_EQ(lastRequest, pop3RqTop);
  EXPECT_EQ(message, plain.substr(0, plain.find("\r\n\r\n") + 4));  // the header only
  pop3.SetMsgLines(1);
  ASSERT_EQ(Do(&TPop3Cli::Top), 0);
  EXPECT_EQ(message, plain.substr(0, plain.find("\r\n\r\n") + 4) + "Hi Alice,\r\n");

  ASSERT_EQ(Do(&TPop3Cli::Quit), 0);
  EXPECT_EQ(lastRequest, pop3RqQuit);
  EXPECT_EQ(suite->server.Remaining("alice").size(), 3u);
}

TEST_F(Pop3Dovecot, ApopLoginWithTheGreetingTimestamp) {
  ASSERT_EQ(Do(&TPop3Cli::Connect), 0);
  ASSERT_NE(pop3.LastResponse().find('<'), std::string::npos) << pop3.LastResponse();
  ASSERT_EQ(Do(&TPop3Cli::Apop), 0);
  EXPECT_EQ(lastRequest, pop3RqApop);
  EXPECT_EQ(pop3.ProtocolState(), pop3Transaction);
  ASSERT_EQ(Do(&TPop3Cli::Stat), 0);
  EXPECT_EQ(pop3.MsgCount(), 3);
  EXPECT_EQ(Do(&TPop3Cli::Quit), 0);
}

TEST_F(Pop3Dovecot, ApopWithAWrongSecretIsRefused) {
  pop3.SetPassWord("not the secret");
  ASSERT_EQ(Do(&TPop3Cli::Connect), 0);
  EXPECT_EQ(Do(&TPop3Cli::Apop), 500);
  EXPECT_TRUE(pop3.ErrorMessage().starts_with("-ERR")) << pop3.ErrorMessage();
  EXPECT_EQ(pop3.ProtocolState(), pop3WaitingUser);
}

TEST_F(Pop3Dovecot, DeleThenQuitRemovesTheMessageOnTheServer) {
  pop3.SetUserName("dele");
  ASSERT_EQ(Do(&TPop3Cli::Login), 0);
  EXPECT_EQ(lastRequest, pop3RqLogin);
  pop3.SetMsgNum(1);
  ASSERT_EQ(Do(&TPop3Cli::Dele), 0);
  EXPECT_EQ(lastRequest, pop3RqDele);
  ASSERT_EQ(Do(&TPop3Cli::Quit), 0);
  // The server commits the deletion when it ends the session.
  ASSERT_TRUE(RunLoopUntil([&] { return closed; }));
  EXPECT_EQ(suite->server.Remaining("dele"), (std::vector<std::string>{"dots.eml", "big.eml"}));

  // A new session sees the remaining two.
  ASSERT_EQ(Do(&TPop3Cli::Login), 0);
  ASSERT_EQ(Do(&TPop3Cli::Stat), 0);
  EXPECT_EQ(pop3.MsgCount(), 2);
  EXPECT_EQ(Do(&TPop3Cli::Quit), 0);
}

TEST_F(Pop3Dovecot, RsetUndoesDele) {
  pop3.SetUserName("rset");
  ASSERT_EQ(Do(&TPop3Cli::Login), 0);
  pop3.SetMsgNum(2);
  ASSERT_EQ(Do(&TPop3Cli::Dele), 0);
  ASSERT_EQ(Do(&TPop3Cli::Stat), 0);
  EXPECT_EQ(pop3.MsgCount(), 2);  // marked as deleted for this session
  ASSERT_EQ(Do(&TPop3Cli::Rset), 0);
  EXPECT_EQ(lastRequest, pop3RqRset);
  ASSERT_EQ(Do(&TPop3Cli::Stat), 0);
  EXPECT_EQ(pop3.MsgCount(), 3);
  ASSERT_EQ(Do(&TPop3Cli::Quit), 0);
  ASSERT_TRUE(RunLoopUntil([&] { return closed; }));
  EXPECT_EQ(suite->server.Remaining("rset"),
            (std::vector<std::string>{"plain.eml", "dots.eml", "big.eml"}));
}

TEST_F(Pop3Dovecot, WrongPasswordEndsWithError500AndTheServersText) {
  pop3.SetPassWord("wrong");
  EXPECT_EQ(Do(&TPop3Cli::Login), 500);
  EXPECT_EQ(lastRequest, pop3RqLogin);
  EXPECT_TRUE(pop3.ErrorMessage().starts_with("-ERR")) << pop3.ErrorMessage();
  EXPECT_EQ(pop3.ErrorMessage(), pop3.LastResponse());
  EXPECT_EQ(pop3.ProtocolState(), pop3WaitingPass);
  EXPECT_EQ(pop3.State(), pop3Idle);
  EXPECT_EQ(Do(&TPop3Cli::Quit), 0);
}

}  // namespace

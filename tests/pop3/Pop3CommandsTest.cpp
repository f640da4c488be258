// The commands against a scripted peer: guards and their texts, the lines sent, and how
// replies are read into the properties.

#include <functional>

#include "Pop3Fixture.h"
#include "pop3/Md5.h"

using TDone = std::pair<TPop3Request, std::uint16_t>;

class Pop3Commands : public Pop3Fixture {
 protected:
  // Expects op to raise Pop3Exception with exactly this text.
  void ExpectRaises(const std::function<void()>& op, const std::string& text) {
    try {
      op();
      ADD_FAILURE() << "no exception, expected \"" << text << "\"";
    } catch (const Pop3Exception& e) {
      EXPECT_EQ(e.Message(), text);
    }
  }
  // Expects op to fail a guard that also sets ErrorMessage and shows the text.
  void ExpectShownGuard(const std::function<void()>& op, const std::string& text) {
    events.clear();
    ExpectRaises(op, text);
    EXPECT_EQ(pop3.ErrorMessage(), text);
    EXPECT_EQ(events, (std::vector<std::string>{"disp " + text}));
  }
  // Runs one command against the next scripted reply and waits for its report.
  void Run(const std::function<void()>& op) {
    const std::size_t before = done.size();
    op();
    ASSERT_TRUE(WaitDone(before + 1));
  }
};

TEST_F(Pop3Commands, GuardsBeforeConnectingRaiseAndSendNothing) {
  ExpectRaises([&] { pop3.User(); }, "POP3 component not connected");
  ExpectRaises([&] { pop3.Pass(); }, "POP3 component not connected");
  ExpectRaises([&] { pop3.Rpop(); }, "POP3 component not connected");
  ExpectShownGuard([&] { pop3.Apop(); }, "-ERR APOP command invalid now");
  const std::vector<std::pair<std::function<void()>, std::string>> transaction = {
      {[&] { pop3.Stat(); }, "STAT"}, {[&] { pop3.List(); }, "LIST"},
      {[&] { pop3.Retr(); }, "RETR"}, {[&] { pop3.Top(); }, "TOP"},
      {[&] { pop3.Dele(); }, "DELE"}, {[&] { pop3.Noop(); }, "NOOP"},
      {[&] { pop3.Last(); }, "LAST"}, {[&] { pop3.Rset(); }, "RSET"},
      {[&] { pop3.Uidl(); }, "UIDL"}};
  for (const auto& [op, word] : transaction)
    ExpectShownGuard(op, "-ERR " + word + " command invalid now");
  pop3.SetMsgLines(-1);
  ExpectRaises([&] { pop3.Top(); }, "Invalid MsgLines for TOP command");
  DrainMessages();
  EXPECT_TRUE(done.empty());
  EXPECT_EQ(pop3.State(), pop3Idle);
}

TEST_F(Pop3Commands, QuitWhileDisconnectedReportsSuccessWithoutSending) {
  pop3.Quit();
  ASSERT_TRUE(WaitDone(1));
  EXPECT_EQ(done, (std::vector<TDone>{{pop3RqQuit, 0}}));
  EXPECT_FALSE(Logged("disp > QUIT"));
}

TEST_F(Pop3Commands, GuardsOfAConnectedSession) {
  ScriptLogin();
  peer.Expect();  // the NOOP below is never answered
  LoginNow();
  ExpectShownGuard([&] { pop3.User(); }, "-ERR USER command invalid now");
  ExpectShownGuard([&] { pop3.Pass(); }, "-ERR PASS command invalid now");
  ExpectShownGuard([&] { pop3.Rpop(); }, "-ERR RPOP command invalid now");
  ExpectShownGuard([&] { pop3.Apop(); }, "-ERR APOP command invalid now");
  ExpectRaises([&] { pop3.Connect(); }, "POP3 component already connected");
  ExpectRaises([&] { pop3.Login(); }, "pop3 component already connected");
  pop3.SetMsgLines(-1);
  ExpectRaises([&] { pop3.Top(); }, "Invalid MsgLines for TOP command");
  pop3.Noop();
  // While a request runs every operation that passes its own checks is "not ready".
  for (auto op : {&TPop3Cli::Stat, &TPop3Cli::Quit, &TPop3Cli::Retr, &TPop3Cli::Uidl})
    ExpectRaises([&] { (pop3.*op)(); }, "POP3 component not ready");
  ASSERT_TRUE(WaitLines(3));
  DrainMessages();
  EXPECT_EQ(peer.Lines(), (std::vector<std::string>{"USER alice", "PASS secret", "NOOP"}));
  EXPECT_TRUE(done.empty());
}

TEST_F(Pop3Commands, StatAndLastReadTheirNumbersAndToleratePoorReplies) {
  ScriptLogin();
  peer.Expect().Send("+OK 3 4567\r\n").Expect().Send("+OK 5\r\n");
  peer.Expect().Send("+OK\r\n").Expect().Send("+OK 17\r\n").Expect().Send("+OK none\r\n");
  LoginNow();
  Run([&] { pop3.Stat(); });
  EXPECT_EQ(pop3.MsgCount(), 3);
  EXPECT_EQ(pop3.MsgSize(), 4567);
  Run([&] { pop3.Stat(); });  // a single number gives 0 and 0
  EXPECT_EQ(pop3.MsgCount(), 0);
  EXPECT_EQ(pop3.MsgSize(), 0);
  Run([&] { pop3.Stat(); });
  EXPECT_EQ(pop3.MsgCount(), 0);
  Run([&] { pop3.Last(); });
  EXPECT_EQ(pop3.MsgNum(), 17);
  Run([&] { pop3.Last(); });
  EXPECT_EQ(pop3.MsgNum(), 0);
  EXPECT_EQ(
      done,
      (std::vector<TDone>{
          {pop3RqStat, 0}, {pop3RqStat, 0}, {pop3RqStat, 0}, {pop3RqLast, 0}, {pop3RqLast, 0}}));
}

TEST_F(Pop3Commands, ListAndUidlOfOneMessageOrOfAll) {
  ScriptLogin();
  peer.Expect().Send("+OK 2 msgs\r\n1 120\r\n2 3400\r\n.\r\n");
  peer.Expect().Send("+OK 2 3400\r\n");
  peer.Expect().Send("+OK\r\n1 abc\r\n2 def trailing words\r\n.\r\n");
  peer.Expect().Send("+OK 2 xyz more\r\n");
  peer.Expect().Send("+OK 2\r\n");
  LoginNow();
  std::vector<std::pair<int, int>> listed;
  std::vector<std::pair<int, std::string>> ids;
  pop3.OnListBegin = [this](TObject*) { Log("list begin"); };
  pop3.OnListLine = [&](TObject*) { listed.emplace_back(pop3.MsgNum(), pop3.MsgSize()); };
  pop3.OnListEnd = [this](TObject*) { Log("list end"); };
  pop3.OnUidlLine = [&](TObject*) { ids.emplace_back(pop3.MsgNum(), pop3.MsgUidl()); };
  pop3.SetMsgNum(0);
  Run([&] { pop3.List(); });
  EXPECT_EQ(listed, (std::vector<std::pair<int, int>>{{1, 120}, {2, 3400}}));
  EXPECT_TRUE(Logged("list begin"));
  EXPECT_TRUE(Logged("list end"));
  pop3.SetMsgNum(1);
  Run([&] { pop3.List(); });
  EXPECT_EQ(pop3.MsgNum(), 2);
  EXPECT_EQ(pop3.MsgSize(), 3400);
  pop3.SetMsgNum(-4);
  Run([&] { pop3.Uidl(); });
  EXPECT_EQ(ids, (std::vector<std::pair<int, std::string>>{{1, "abc"}, {2, "def"}}));
  pop3.SetMsgNum(2);
  Run([&] { pop3.Uidl(); });
  EXPECT_EQ(pop3.MsgNum(), 2);
  EXPECT_EQ(pop3.MsgUidl(), "xyz");
  Run([&] { pop3.Uidl(); });  // a reply without an id
  EXPECT_EQ(pop3.MsgNum(), 2);
  EXPECT_EQ(pop3.MsgUidl(), "");
  EXPECT_EQ(listed.size(), 2u);  // single-message replies fire no line events
  EXPECT_EQ(peer.Lines(), (std::vector<std::string>{"USER alice", "PASS secret", "LIST", "LIST 1",
                                                    "UIDL", "UIDL 2", "UIDL 2"}));
}

TEST_F(Pop3Commands, MessageNumbersAndLineCountsAreSentAsGiven) {
  ScriptLogin();
  peer.Expect().Send("-ERR no such message\r\n").Expect().Send("-ERR no\r\n");
  peer.Expect().Send("+OK\r\nSubject: x\r\n.\r\n").Expect().Send("+OK\r\n");
  peer.Expect().Send("+OK\r\n");
  LoginNow();
  pop3.SetMsgNum(0);
  Run([&] { pop3.Retr(); });
  pop3.SetMsgNum(-3);
  Run([&] { pop3.Dele(); });
  pop3.SetMsgNum(2);
  pop3.SetMsgLines(0);
  Run([&] { pop3.Top(); });
  Run([&] { pop3.Noop(); });
  Run([&] { pop3.Rset(); });
  EXPECT_EQ(peer.Lines(), (std::vector<std::string>{"USER alice", "PASS secret", "RETR 0",
                                                    "DELE -3", "TOP 2 0", "NOOP", "RSET"}));
  EXPECT_EQ(
      done,
      (std::vector<TDone>{
          {pop3RqRetr, 500}, {pop3RqDele, 500}, {pop3RqTop, 0}, {pop3RqNoop, 0}, {pop3RqRset, 0}}));
  // The first error is kept until a sequence starts; the state is untouched by errors.
  EXPECT_EQ(pop3.ErrorMessage(), "-ERR no such message");
  EXPECT_EQ(pop3.ProtocolState(), pop3Transaction);
}

TEST_F(Pop3Commands, NamesAndPasswordsAreTrimmedButApopDigestsThePasswordAsGiven) {
  const std::string stamp = "<42.7@host>";
  peer.Send("+OK ready " + stamp + "\r\n").Expect().Send("+OK\r\n");
  peer.Expect().Send("-ERR try again\r\n").Expect().Send("-ERR no rpop\r\n");
  peer.Expect().Send("+OK\r\n");
  pop3.SetUserName("\t alice ");
  pop3.SetPassWord("  pw word \r");
  Run([&] { pop3.Connect(); });
  Run([&] { pop3.User(); });
  EXPECT_EQ(pop3.ProtocolState(), pop3WaitingPass);
  Run([&] { pop3.Pass(); });
  Run([&] { pop3.Rpop(); });
  EXPECT_EQ(pop3.ProtocolState(), pop3WaitingPass);
  ExpectShownGuard([&] { pop3.Apop(); }, "-ERR APOP command invalid now");
  EXPECT_EQ(peer.Lines(), (std::vector<std::string>{"USER alice", "PASS pw word", "RPOP pw word"}));
  EXPECT_EQ(Md5Hex(stamp + "  pw word \r"), Md5Hex(stamp + pop3.PassWord()));
}

TEST_F(Pop3Commands, ApopTrimsTheNameOnly) {
  const std::string stamp = "<42.7@host>";
  peer.Send("+OK ready " + stamp + "\r\n").Expect().Send("+OK\r\n");
  pop3.SetUserName(" alice\t");
  pop3.SetPassWord(" secret ");
  Run([&] { pop3.Connect(); });
  Run([&] { pop3.Apop(); });
  EXPECT_EQ(peer.Lines(), (std::vector<std::string>{"APOP alice " + Md5Hex(stamp + " secret ")}));
  EXPECT_TRUE(Logged("disp > APOP alice " + Md5Hex(stamp + " secret ")));
}

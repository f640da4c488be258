// Failed negotiations: every code and text reaches OnSocksError, then the application's
// OnSessionConnected with the same code, then the close, whatever the proxy did wrong.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "SocksEventLog.h"
#include "platform/MessageLoop.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"
#include "support/SocketArrival.h"

namespace {

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

struct TFailureCase {
  std::string name;
  std::string level;
  bool offerUserPass;
  std::function<void(TScriptedPeer&)> script;  // everything after the first request
  std::vector<std::string> authEvents;
  int code;
  std::string text;
};

using SocksErrorTest = SocksTest;

std::function<void(TScriptedPeer&)> ConnectReply(const std::string& reply) {
  return [reply](TScriptedPeer& p) { ScriptNoAuthNegotiation(p, reply); };
}

std::function<void(TScriptedPeer&)> MethodChoice(const std::string& reply) {
  return [reply](TScriptedPeer& p) { p.Expect(Socks5Greeting).Send(reply); };
}

std::function<void(TScriptedPeer&)> AuthVerdict(const std::string& reply) {
  return [reply](TScriptedPeer& p) {
    p.Expect(Socks5GreetingUserPass)
        .Send(Bytes({5, 2}))
        .Expect(Bytes({1, 1, 'u', 1, 'p'}))
        .Send(reply);
  };
}

std::function<void(TScriptedPeer&)> Socks4Reply(int version, int code) {
  return [version, code](TScriptedPeer& p) {
    p.Expect(Bytes({4, 1, 0, 110, 127, 0, 0, 1, 0})).Send(Bytes({version, code, 0, 0, 0, 0, 0, 0}));
  };
}

std::vector<TFailureCase> Cases() {
  const std::vector<std::string> none;
  const std::vector<std::string> authFailed = {"AuthState(0)", "AuthState(2)"};
  std::vector<TFailureCase> cases = {
      {"method version", "5", false, MethodChoice(Bytes({4, 0})), none, 20002,
       "socks version error"},
      {"no acceptable method", "5", false, MethodChoice(Bytes({5, 0xFF})), none, 20003,
       "authentification method not acceptable"},
      {"reply version", "5", false, ConnectReply(Bytes({6, 0, 0, 1})), none, 20002,
       "socks version error"},
      {"reply code 9", "5", false, ConnectReply(Bytes({5, 9, 0, 1})), none, 20012,
       "unassigned error #9"},
      {"address type 4", "5", false, ConnectReply(Bytes({5, 0, 0, 4, 0})), none, 20011,
       "address type not supported"},
      {"name longer than the buffer", "5", false, ConnectReply(Bytes({5, 0, 0, 3, 121})), none,
       20014, "socks reply too long"},
      {"auth refused", "5", true, AuthVerdict(Bytes({1, 1})), authFailed, 20015,
       "socks authentication failed"},
      {"auth version", "5", true, AuthVerdict(Bytes({5, 0})), authFailed, 20002,
       "socks version error"},
      {"auth reply too long", "5", true, AuthVerdict(Bytes({1, 0, 0})), authFailed, 20001,
       "too much data availaible"},
      {"proxy closes", "5", false, [](TScriptedPeer& p) { p.Expect(Socks5Greeting).Close(); }, none,
       20014, "connection closed by socks server"},
      {"proxy closes during auth", "5", true,
       [](TScriptedPeer& p) {
         AuthVerdict(Bytes({1}))(p);
         p.Close();
       },
       authFailed, 20014, "connection closed by socks server"},
      {"socks 4 rejected", "4", false, Socks4Reply(0, 91), none, 20016,
       "request rejected or failed"},
      {"socks 4 refused", "4", false, Socks4Reply(0, 92), none, 20008, "connection refused"},
      {"socks 4 ident", "4", false, Socks4Reply(0, 93), none, 20015, "authentification failed"},
      {"socks 4 other", "4", false, Socks4Reply(0, 94), none, 20012, "unassigned error #94"},
      {"socks 4 version", "4", false, Socks4Reply(4, 90), none, 20002, "socks version error"},
  };
  const char* const replyTexts[] = {
      "general SOCKS server failure", "connection not allowed by ruleset",
      "network unreachable",          "host unreachable",
      "connection refused",           "time to live expired",
      "command not supported",        "address type not supported"};
  for (int code = 1; code <= 8; ++code)
    cases.push_back({"reply code " + std::to_string(code), "5", false,
                     ConnectReply(Bytes({5, code, 0, 1})), none, 20003 + code,
                     replyTexts[code - 1]});
  return cases;
}

TEST_F(SocksErrorTest, EveryFailureReachesSocksErrorThenSessionConnectedThenClose) {
  for (const TFailureCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    TScriptedPeer proxy;
    c.script(proxy);
    proxy.ExpectEnd();
    TSocksClient client;
    if (c.offerUserPass) client.OfferUserPass("u", "p");
    client.Through(proxy.Port(), c.level);
    const TSocksEventLog& log = client.log;
    ASSERT_TRUE(RunLoopUntil([&] { return log.Count("SessionClosed") > 0 && proxy.Done(); }));
    std::vector<std::string> expected = {"SocksConnected(0)"};
    expected.insert(expected.end(), c.authEvents.begin(), c.authEvents.end());
    const std::string code = std::to_string(c.code);
    expected.push_back("SocksError(" + code + "," + c.text + ")");
    expected.push_back("SessionConnected(" + code + ")");
    expected.push_back("SessionClosed(" + code + ")");
    EXPECT_THAT(log.Events, ElementsAreArray(expected));
    EXPECT_EQ(client.socket.State(), wsClosed);
    EXPECT_THAT(proxy.Failures(), IsEmpty());
  }
}

// SOCKS 4 resolves the destination itself; a name it cannot resolve ends the connection
// like any other failure, so the application still hears OnSessionConnected.
TEST_F(SocksErrorTest, Socks4DestinationThatCannotBeResolved) {
  TScriptedPeer proxy;
  proxy.ExpectEnd();
  Through(proxy.Port(), "4", "256.1.1.1");
  ASSERT_TRUE(RunLoopUntil([&] { return log.Count("SessionClosed") > 0 && proxy.Done(); }));
  const std::string text = "ESocketException WSocketResolveHost: '256.1.1.1' Invalid IP address.";
  EXPECT_THAT(log.Events,
              ElementsAreArray({std::string("SocksConnected(0)"), "SocksError(20017," + text + ")",
                                std::string("SessionConnected(20017)"),
                                std::string("SessionClosed(20017)")}));
  EXPECT_THAT(proxy.Failures(), IsEmpty());
}

TEST_F(SocksErrorTest, ReadErrorDuringNegotiation) {
  TScriptedPeer proxy;
  proxy.Expect(Socks5Greeting).Hold().ExpectEnd();
  Through(proxy.Port());
  ASSERT_TRUE(RunLoopUntil([&] { return proxy.Holding(); }));
  PostMessage(socket.Handle(), SocketNotifyMessage, static_cast<WPARAM>(socket.HSocket()),
              MAKELONG(winsock::FD_READ, winsock::WSAECONNRESET));
  ASSERT_TRUE(RunLoopUntil([&] { return log.Count("SessionClosed") > 0; }));
  EXPECT_THAT(log.Events,
              ElementsAreArray({"SocksConnected(0)", "SocksError(10054,data receive error)",
                                "SessionConnected(10054)", "SessionClosed(10054)"}));
  proxy.Release();
  EXPECT_TRUE(RunLoopUntil([&] { return proxy.Done(); }));
  EXPECT_THAT(proxy.Failures(), IsEmpty());
}

// The proxy asks for user/password and resets before the client's answer goes out: the
// send meets the reset, and the socket layer's own close must still end the connect first.
TEST_F(SocksErrorTest, ResetMetBySendDuringNegotiation) {
  TScriptedPeer proxy;
  proxy.Expect(Socks5GreetingUserPass).Hold().Send(Bytes({5, 2})).Reset();
  socket.SetSocksAuthentication(socksAuthenticateUsercode);
  Through(proxy.Port());
  ASSERT_TRUE(RunLoopUntil([&] { return proxy.Holding(); }));
  // The loop stays still until the method choice and the reset are both there.
  proxy.Release();
  ASSERT_TRUE(proxy.WaitPlayed());
  ASSERT_TRUE(WaitForArrival(socket.HSocket(), 1));
  ASSERT_TRUE(RunLoopUntil([&] { return log.Count("SessionClosed") > 0; }));
  EXPECT_THAT(log.Events, ElementsAreArray({"SocksConnected(0)", "AuthState(0)", "AuthState(2)",
                                            "SocksError(10054,connection closed by socks server)",
                                            "SessionConnected(10054)", "SessionClosed(10054)"}));
}

TEST_F(SocksErrorTest, ProxyThatRefusesTheConnection) {
  TRefusingPort refusing;
  Through(refusing.Port());
  ASSERT_TRUE(RunLoopUntil([&] { return log.Count("SessionClosed") > 0; }));
  EXPECT_THAT(log.Events, ElementsAreArray({"SocksConnected(10061)", "SessionConnected(10061)",
                                            "SessionClosed(0)"}));
}

}  // namespace

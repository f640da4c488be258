// The SOCKS client against real proxies: a TWSocket reaches a loopback server by the name
// "localhost" through microsocks (SOCKS 5, with and without user/password), dante (SOCKS 4)
// and ssh -D (SOCKS 4A, the name resolved by the proxy), and data crosses both ways.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SocksEventLog.h"
#include "SocksProxyProcess.h"
#include "net/WSocket.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

constexpr const char* Greeting = "+OK echo ready\r\n";
constexpr const char* Ping = "PING through the proxy\r\n";

// The destination behind the proxy: it greets, echoes one line, answers QUIT and closes, so
// that data visibly crosses the proxy in both directions.
struct TDestination : TScriptedPeer {
  TDestination() {
    Send(Greeting).Expect(Ping).Send(Ping).Expect("QUIT\r\n").Send("+OK bye\r\n").Close();
  }
};

// Greeting in, a line out and echoed back, QUIT answered and the server closes.
void ExchangeBothWays(TSocksClient& client) {
  const TSocksEventLog& log = client.log;
  ASSERT_TRUE(RunLoopUntil([&] { return log.Has("SessionConnected(0)"); }, 10000));
  ASSERT_TRUE(RunLoopUntil([&] { return log.Data == Greeting; }, 10000));
  client.socket.SendStr(Ping);
  const std::string echoed = std::string(Greeting) + Ping;
  ASSERT_TRUE(RunLoopUntil([&] { return log.Data == echoed; }, 10000));
  client.socket.SendStr("QUIT\r\n");
  ASSERT_TRUE(RunLoopUntil([&] { return log.Has("SessionClosed(0)"); }, 10000));
  EXPECT_EQ(log.Data, echoed + "+OK bye\r\n");
  EXPECT_EQ(client.socket.State(), wsClosed);
}

#define START_PROXY(var, impl, ...)                                                  \
  if (const std::string why = TSocksProxyProcess::MissingReason(impl); !why.empty()) \
    GTEST_SKIP() << why;                                                             \
  TSocksProxyProcess var(impl __VA_OPT__(, ) __VA_ARGS__);                           \
  ASSERT_TRUE(var.Started()) << var.Output()

struct TProxyCase {
  const char* name;
  const char* impl;
  std::string user, pass;  // the proxy's account (microsocks), or the SOCKS 4 user id
  std::string level;
  std::vector<std::string> events;
};

const std::vector<std::string> kPlain = {"SocksConnected(0)", "SessionConnected(0)",
                                         "SessionClosed(0)"};

// clang-format off
const TProxyCase kProxyCases[] = {
    {"Socks5ThroughMicrosocksWithoutAuthentication", "microsocks", "", "", "5", kPlain},
    {"Socks5ThroughMicrosocksWithUserAndPassword", "microsocks", "puser", "ppass", "5",
     {"SocksConnected(0)", "AuthState(0)", "AuthState(1)", "SessionConnected(0)",
      "SessionClosed(0)"}},
    {"Socks4ThroughDante", "dante", "", "", "4", kPlain},
    {"Socks4AThroughSshWithTheNameResolvedByTheProxy", "ssh", "quillet", "", "4a", kPlain},
};
// clang-format on

// A failing row is named by its name, not by its bytes.
void PrintTo(const TProxyCase& c, std::ostream* os) {
  *os << c.name;
}

class SocksProxyExchange : public ::testing::TestWithParam<TProxyCase> {};

TEST_P(SocksProxyExchange, DataCrossesBothWays) {
  const TProxyCase& c = GetParam();
  START_PROXY(proxy, c.impl, c.pass.empty() ? "" : c.user + ":" + c.pass);
  TDestination server;
  TSocksClient client;
  if (c.pass.empty())
    client.socket.SetSocksUsercode(c.user);
  else
    client.OfferUserPass(c.user, c.pass);
  client.Through(proxy.Port(), c.level, "localhost", server.Port());
  ExchangeBothWays(client);
  EXPECT_THAT(client.log.Events, ElementsAreArray(c.events));
}

INSTANTIATE_TEST_SUITE_P(Proxies, SocksProxyExchange, ::testing::ValuesIn(kProxyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SocksProxyTest, Socks5WrongPasswordIsRefusedByMicrosocks) {
  START_PROXY(proxy, "microsocks", "puser:ppass");
  TSocksClient client;
  client.OfferUserPass("puser", "wrong");
  client.Through(proxy.Port(), "5", "localhost", "9");
  ASSERT_TRUE(RunLoopUntil([&] { return client.log.Has("SessionClosed(20015)"); }, 10000));
  EXPECT_THAT(client.log.Events, ElementsAre("SocksConnected(0)", "AuthState(0)", "AuthState(2)",
                                             "SocksError(20015,socks authentication failed)",
                                             "SessionConnected(20015)", "SessionClosed(20015)"));
}

TEST(SocksProxyTest, Socks5ThroughSshAndARefusedDestination) {
  START_PROXY(proxy, "ssh");
  {
    TDestination server;
    TSocksClient client;
    client.Through(proxy.Port(), "5", "localhost", server.Port());
    ExchangeBothWays(client);
  }
  // Nothing listens on the destination's port: the proxy reports the failure.
  TRefusingPort refusing;
  TSocksClient client;
  client.Through(proxy.Port(), "5", "localhost", refusing.Port());
  const std::vector<std::string>& events = client.log.Events;
  ASSERT_TRUE(RunLoopUntil([&] { return events.size() >= 4; }, 10000));
  EXPECT_EQ(events.front(), "SocksConnected(0)");
  EXPECT_EQ(client.socket.State(), wsClosed);
  EXPECT_EQ(events[1].rfind("SocksError(200", 0), 0u) << events[1];
}

}  // namespace

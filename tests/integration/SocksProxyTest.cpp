// The SOCKS client against real proxies: a TWSocket reaches a loopback server by the name
// "localhost" through microsocks (SOCKS 5, with and without user/password), dante (SOCKS 4)
// and ssh -D (SOCKS 4A, the name resolved by the proxy), and data crosses both ways.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SocksProxyProcess.h"
#include "net/WSocket.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"

namespace {

using ::testing::ElementsAre;

constexpr const char* Greeting = "+OK echo ready\r\n";
constexpr const char* Ping = "PING through the proxy\r\n";

// The destination behind the proxy: it greets, echoes one line, answers QUIT and closes, so
// that data visibly crosses the proxy in both directions.
struct TDestination : TScriptedPeer {
  TDestination() {
    Send(Greeting).Expect(Ping).Send(Ping).Expect("QUIT\r\n").Send("+OK bye\r\n").Close();
  }
};

struct TProxyClient {
  TWSocket Socket;
  std::vector<std::string> Events;
  std::string Received;

  TProxyClient() {
    auto add = [this](const std::string& name, int value) {
      Events.push_back(name + "(" + std::to_string(value) + ")");
    };
    Socket.OnSocksConnected = [add](TObject*, std::uint16_t e) { add("SocksConnected", e); };
    Socket.OnSessionConnected = [add](TObject*, std::uint16_t e) { add("SessionConnected", e); };
    Socket.OnSessionClosed = [add](TObject*, std::uint16_t e) { add("SessionClosed", e); };
    Socket.OnSocksAuthState = [add](TObject*, TSocksAuthState s) { add("AuthState", s); };
    Socket.OnSocksError = [this](TObject*, int e, const std::string& msg) {
      Events.push_back("SocksError(" + std::to_string(e) + "," + msg + ")");
    };
    Socket.OnDataAvailable = [this](TObject*, std::uint16_t) {
      char buf[256];
      const int n = Socket.Receive(buf, sizeof buf);
      if (n > 0) Received.append(buf, static_cast<std::size_t>(n));
    };
  }

  void ConnectThrough(const std::string& proxyPort, const std::string& level,
                      const std::string& destPort) {
    Socket.SetAddr("localhost");
    Socket.SetPort(destPort);
    Socket.SetSocksServer("127.0.0.1");
    Socket.SetSocksPort(proxyPort);
    Socket.SetSocksLevel(level);
    Socket.Connect();
  }

  bool Has(const std::string& event) const {
    for (const std::string& e : Events)
      if (e == event) return true;
    return false;
  }

  // Greeting in, a line out and echoed back, QUIT answered and the server closes.
  void ExchangeBothWays() {
    ASSERT_TRUE(RunLoopUntil([&] { return Has("SessionConnected(0)"); }, 10000));
    ASSERT_TRUE(RunLoopUntil([&] { return Received == Greeting; }, 10000));
    Socket.SendStr(Ping);
    const std::string echoed = std::string(Greeting) + Ping;
    ASSERT_TRUE(RunLoopUntil([&] { return Received == echoed; }, 10000));
    Socket.SendStr("QUIT\r\n");
    ASSERT_TRUE(RunLoopUntil([&] { return Has("SessionClosed(0)"); }, 10000));
    EXPECT_EQ(Received, echoed + "+OK bye\r\n");
    EXPECT_EQ(Socket.State(), wsClosed);
  }
};

#define START_PROXY(var, impl, ...)                                                  \
  if (const std::string why = TSocksProxyProcess::MissingReason(impl); !why.empty()) \
    GTEST_SKIP() << why;                                                             \
  TSocksProxyProcess var(impl __VA_OPT__(, ) __VA_ARGS__);                           \
  ASSERT_TRUE(var.Started()) << var.Output()

TEST(SocksProxyTest, Socks5ThroughMicrosocksWithoutAuthentication) {
  START_PROXY(proxy, "microsocks");
  TDestination server;
  TProxyClient client;
  client.ConnectThrough(proxy.Port(), "5", server.Port());
  client.ExchangeBothWays();
  EXPECT_THAT(client.Events,
              ElementsAre("SocksConnected(0)", "SessionConnected(0)", "SessionClosed(0)"));
}

TEST(SocksProxyTest, Socks5ThroughMicrosocksWithUserAndPassword) {
  START_PROXY(proxy, "microsocks", "puser:ppass");
  TDestination server;
  TProxyClient client;
  client.Socket.SetSocksUsercode("puser");
  client.Socket.SetSocksPassword("ppass");
  client.Socket.SetSocksAuthentication(socksAuthenticateUsercode);
  client.ConnectThrough(proxy.Port(), "5", server.Port());
  client.ExchangeBothWays();
  EXPECT_THAT(client.Events, ElementsAre("SocksConnected(0)", "AuthState(0)", "AuthState(1)",
                                         "SessionConnected(0)", "SessionClosed(0)"));
}

TEST(SocksProxyTest, Socks5WrongPasswordIsRefusedByMicrosocks) {
  START_PROXY(proxy, "microsocks", "puser:ppass");
  TProxyClient client;
  client.Socket.SetSocksUsercode("puser");
  client.Socket.SetSocksPassword("wrong");
  client.Socket.SetSocksAuthentication(socksAuthenticateUsercode);
  client.ConnectThrough(proxy.Port(), "5", "9");
  ASSERT_TRUE(RunLoopUntil([&] { return client.Has("SessionClosed(20015)"); }, 10000));
  EXPECT_THAT(client.Events, ElementsAre("SocksConnected(0)", "AuthState(0)", "AuthState(2)",
                                         "SocksError(20015,socks authentication failed)",
                                         "SessionConnected(20015)", "SessionClosed(20015)"));
}

TEST(SocksProxyTest, Socks4ThroughDante) {
  START_PROXY(proxy, "dante");
  TDestination server;
  TProxyClient client;
  client.ConnectThrough(proxy.Port(), "4", server.Port());
  client.ExchangeBothWays();
  EXPECT_THAT(client.Events,
              ElementsAre("SocksConnected(0)", "SessionConnected(0)", "SessionClosed(0)"));
}

TEST(SocksProxyTest, Socks4AThroughSshWithTheNameResolvedByTheProxy) {
  START_PROXY(proxy, "ssh");
  TDestination server;
  TProxyClient client;
  client.Socket.SetSocksUsercode("quillet");
  client.ConnectThrough(proxy.Port(), "4a", server.Port());
  client.ExchangeBothWays();
  EXPECT_THAT(client.Events,
              ElementsAre("SocksConnected(0)", "SessionConnected(0)", "SessionClosed(0)"));
}

TEST(SocksProxyTest, Socks5ThroughSshAndARefusedDestination) {
  START_PROXY(proxy, "ssh");
  {
    TDestination server;
    TProxyClient client;
    client.ConnectThrough(proxy.Port(), "5", server.Port());
    client.ExchangeBothWays();
  }
  // Nothing listens on the destination's port: the proxy reports the failure.
  TRefusingPort refusing;
  TProxyClient client;
  client.ConnectThrough(proxy.Port(), "5", refusing.Port());
  ASSERT_TRUE(RunLoopUntil([&] { return client.Events.size() >= 4; }, 10000));
  EXPECT_EQ(client.Events.front(), "SocksConnected(0)");
  EXPECT_EQ(client.Socket.State(), wsClosed);
  EXPECT_EQ(client.Events[1].rfind("SocksError(200", 0), 0u) << client.Events[1];
}

}  // namespace

// Line mode on a connection made through a SOCKS proxy: the proxy's replies are the
// negotiation's business and must never be taken for lines.

#include <gtest/gtest.h>

#include "SocksEventLog.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"

TEST(LineSocksTest, NegotiationCompletesInLineModeAndLaterBytesComeAsLines) {
  const std::string reply = Bytes({5, 0, 0, 1, 127, 0, 0, 1, 0x9C, 0x40});
  const std::string request = Bytes({5, 1, 0, 3, 9}) + "localhost" + Bytes({0, 110});
  TScriptedPeer proxy;
  proxy.Expect(Bytes({5, 1, 0}))
      .Send(Bytes({5, 0}))
      .Expect(request)
      .Send(reply)
      .Hold()
      .Send("+OK one\r\n+OK tw")
      .Hold()
      .Send("o\r\n")
      .ExpectEnd();
  TWSocket socket;
  socket.SetLineMode(true);
  int connected = -1;
  std::vector<std::string> lines;
  socket.OnSessionConnected = [&](TObject*, std::uint16_t error) { connected = error; };
  // The SOCKS layer announces the end of the negotiation with a notification of its own,
  // which has no line to offer; only what is read counts here.
  socket.OnDataAvailable = [&](TObject*, std::uint16_t) {
    const std::string line = socket.ReceiveStr();
    if (!line.empty()) lines.push_back(line);
  };
  AimThroughProxy(socket, proxy.Port(), "5", "localhost", "110");
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return connected == 0 && proxy.Holding(); }));
  EXPECT_TRUE(lines.empty());
  proxy.Release();
  ASSERT_TRUE(RunLoopUntil([&] { return lines.size() == 1 && proxy.Holding(); }));
  proxy.Release();
  ASSERT_TRUE(RunLoopUntil([&] { return lines.size() == 2; }));
  EXPECT_EQ(lines, (std::vector<std::string>{"+OK one\r\n", "+OK two\r\n"}));
  socket.Close();
  EXPECT_TRUE(RunLoopUntil([&] { return proxy.Done(); }));
  EXPECT_TRUE(proxy.Failures().empty());
}

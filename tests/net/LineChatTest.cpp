// Two components of one process talking in line mode: a listening socket hands each
// connection to a session socket, and a client exchanges ten thousand lines with it.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "net/WSocket.h"
#include "support/LoopRunner.h"

namespace {

constexpr int LineCount = 10000;

std::string ClientLine(int i) {
  return "line " + std::to_string(i) + " from the client\r\n";
}
std::string ServerLine(int i) {
  return "seen " + std::to_string(i) + "\r\n";
}

}  // namespace

TEST(LineChatTest, TenThousandLinesBothWaysWithBothSidesInLineMode) {
  TWSocket server;
  std::unique_ptr<TWSocket> session;
  int serverSeen = 0;
  int serverBad = 0;
  server.OnSessionAvailable = [&](TObject*, std::uint16_t error) {
    ASSERT_EQ(error, 0);
    const winsock::SOCKET h = server.Accept();
    session = std::make_unique<TWSocket>();
    // Line mode before the handle is adopted, so even the first bytes come as lines.
    session->SetLineMode(true);
    session->OnDataAvailable = [&](TObject*, std::uint16_t) {
      const std::string line = session->ReceiveStr();
      if (line != ClientLine(serverSeen)) ++serverBad;
      session->SendStr(ServerLine(serverSeen++));
    };
    session->Dup(h);
  };
  server.SetAddr("127.0.0.1");
  server.SetPort("0");
  server.Listen();
  ASSERT_EQ(server.State(), wsListening);

  TWSocket client;
  int clientSeen = 0;
  int clientBad = 0;
  client.SetLineMode(true);
  client.OnSessionConnected = [&](TObject*, std::uint16_t error) {
    ASSERT_EQ(error, 0);
    // Half the lines at once, the rest one per reply: both bulk and ping-pong traffic.
    for (int i = 0; i < LineCount / 2; ++i) client.SendStr(ClientLine(i));
  };
  int nextToSend = LineCount / 2;
  client.OnDataAvailable = [&](TObject*, std::uint16_t) {
    const std::string line = client.ReceiveStr();
    if (line != ServerLine(clientSeen)) ++clientBad;
    ++clientSeen;
    if (nextToSend < LineCount) client.SendStr(ClientLine(nextToSend++));
  };
  client.SetAddr("127.0.0.1");
  client.SetPort(server.GetLocalPortText());
  client.Connect();

  ASSERT_TRUE(RunLoopUntil([&] { return clientSeen >= LineCount; }, 60000))
      << "client saw " << clientSeen << ", server saw " << serverSeen;
  EXPECT_EQ(serverSeen, LineCount);
  EXPECT_EQ(serverBad, 0);
  EXPECT_EQ(clientBad, 0);

  bool sessionClosed = false;
  session->OnSessionClosed = [&](TObject*, std::uint16_t) { sessionClosed = true; };
  client.Close();
  EXPECT_TRUE(RunLoopUntil([&] { return sessionClosed; }));
  DrainMessages();
  EXPECT_EQ(serverSeen, LineCount);
}

#pragma once
// A POP3 client wired to record everything it reports, and a scripted peer to talk to.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "pop3/Pop3Cli.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"

// The client, and how many bytes it has taken off its socket, so that a case can hand it
// data piece by piece.
class TProbedPop3 : public TPop3Cli {
 public:
  int Taken() const { return FSocket->ReadCount(); }
  winsock::SOCKET SocketHandle() const { return FSocket->HSocket(); }
};

class Pop3Fixture : public ::testing::Test {
 protected:
  using TDone = std::pair<TPop3Request, std::uint16_t>;

  Pop3Fixture() {
    pop3.SetHost("127.0.0.1");
    pop3.SetPort(peer.Port());
    pop3.OnRequestDone = [this](TObject* sender, TPop3Request rq, std::uint16_t error) {
      EXPECT_EQ(sender, &pop3);
      done.emplace_back(rq, error);
      lastResponseAtDone = pop3.LastResponse();
    };
    pop3.OnResponse = [this](TObject*, const std::string& msg) { Log("resp " + msg); };
    pop3.OnDisplay = [this](TObject*, const std::string& msg) { Log("disp " + msg); };
    pop3.OnStateChange = [this](TObject*) { states.push_back(pop3.State()); };
    pop3.OnSessionConnected = [this](TObject*, std::uint16_t) { Log("connected"); };
    pop3.OnSessionClosed = [this](TObject*, std::uint16_t) { Log("closed"); };
  }

  void Log(const std::string& what) { events.push_back(what); }
  bool Logged(const std::string& what) const {
    for (const auto& e : events)
      if (e == what) return true;
    return false;
  }
  // Runs the loop until n requests have reported (bounded).
  bool WaitDone(std::size_t n, int ms = 5000) {
    return RunLoopUntil([&] { return done.size() >= n; }, ms);
  }
  bool WaitLines(std::size_t n, int ms = 5000) {
    return RunLoopUntil([&] { return peer.Lines().size() >= n; }, ms);
  }
  // Runs the loop until the client's socket has seen the connection end.
  bool WaitClosed(int ms = 5000) {
    return RunLoopUntil([&] { return Logged("closed"); }, ms);
  }
  // Runs the loop until the peer has read the end of the client's side of the connection.
  bool WaitPeerSawClose() {
    return RunLoopUntil([&] { return peer.ComponentClosed(); });
  }
  // Runs the loop until these requests have reported, then whatever they posted, and checks
  // that they reported exactly so, each once, and that the client is idle again.
  void ExpectReports(const std::vector<TDone>& reports, int ms = 5000) {
    ASSERT_TRUE(WaitDone(reports.size(), ms));
    DrainMessages();
    EXPECT_EQ(done, reports);
    EXPECT_EQ(pop3.State(), pop3Idle);
  }

  // Script lines for a greeting and a USER/PASS login.
  void ScriptLogin(const std::string& greeting = "+OK ready\r\n") {
    peer.Send(greeting).Expect().Send("+OK name\r\n").Expect().Send("+OK logged in\r\n");
  }
  // Logs in with Login as alice: one report, and the transaction state follows.
  void LoginNow() {
    pop3.SetUserName("alice");
    pop3.SetPassWord("secret");
    pop3.Login();
    ASSERT_TRUE(WaitDone(1));
    DrainMessages();
    ASSERT_EQ(done, std::vector<TDone>{TDone(pop3RqLogin, 0)});
    ASSERT_EQ(pop3.ProtocolState(), pop3Transaction);
    done.clear();
    events.clear();
  }

  TScriptedPeer peer;
  // The records come before the client: its destructor still reports the closing connection.
  std::vector<TDone> done;
  std::vector<std::string> events;
  std::vector<TPop3ComponentState> states;
  std::string lastResponseAtDone;
  TProbedPop3 pop3;
};

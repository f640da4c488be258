#pragma once
// Records a socket's events as short texts in the order they fire, so a test can compare
// whole sequences ("state 3>4", "connected 10061", "closed 0"); and the test of one such
// socket that most cases are.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "net/WSocket.h"
#include "support/LoopRunner.h"

struct SocketEventLog {
  std::vector<std::string> events;

  // Hooks state, connect, close, data-sent and lookup events; data handling stays with the
  // test because every case reads differently.
  void Attach(TWSocket& socket) {
    socket.OnChangeState = [this](TObject*, TSocketState o, TSocketState n) {
      events.push_back("state " + std::to_string(o) + ">" + std::to_string(n));
    };
    socket.OnSessionConnected = [this](TObject*, std::uint16_t e) { Add("connected", e); };
    socket.OnSessionClosed = [this](TObject*, std::uint16_t e) { Add("closed", e); };
    socket.OnDataSent = [this](TObject*, std::uint16_t e) { Add("sent", e); };
    socket.OnDnsLookupDone = [this](TObject*, std::uint16_t e) { Add("dns", e); };
  }
  void Add(const std::string& name, int value) {
    events.push_back(name + " " + std::to_string(value));
  }
  bool Has(const std::string& event) const { return Count(event) > 0; }
  int Count(const std::string& event) const {
    return static_cast<int>(std::count(events.begin(), events.end(), event));
  }
  // The events logged after the first `from` of them.
  std::vector<std::string> Since(std::size_t from) const {
    return {events.begin() + static_cast<std::ptrdiff_t>(from), events.end()};
  }
  // The connect and close events only, in order.
  std::vector<std::string> Sessions() const {
    std::vector<std::string> kept;
    for (const std::string& e : events)
      if (e.starts_with("connected") || e.starts_with("closed")) kept.push_back(e);
    return kept;
  }
};

// Aims a client at 127.0.0.1:port.
inline void AimAt(TWSocket& socket, const std::string& port) {
  socket.SetAddr("127.0.0.1");
  socket.SetPort(port);
}

// The text of the ESocketException a call raises, or "(no exception)".
template <class F>
std::string ExceptionText(F call) {
  try {
    call();
  } catch (const ESocketException& e) {
    return e.what();
  }
  return "(no exception)";
}

// One socket whose events are logged from the start.
class SocketTest : public ::testing::Test {
 protected:
  SocketTest() { log.Attach(socket); }
  void ConnectTo(const std::string& port) {
    AimAt(socket, port);
    socket.Connect();
  }
  // Connects and runs the loop until the connection is up.
  void ConnectAndWait(const std::string& port) {
    ConnectTo(port);
    ASSERT_TRUE(RunLoopUntil([&] { return log.Has("connected 0"); }));
  }

  SocketEventLog log;  // outlives the socket, which may still report its close
  TWSocket socket;
};

#pragma once
// Records a socket's events as short texts in the order they fire, so a test can compare
// whole sequences ("state 3>4", "connected 10061", "closed 0").

#include <string>
#include <vector>

#include "net/WSocket.h"

struct SocketEventLog {
  std::vector<std::string> events;

  // Hooks state, connect, close, data-sent and lookup events; data handling stays with the
  // test because every case reads differently.
  void Attach(TWSocket& socket) {
    socket.OnChangeState = [this](TObject*, TSocketState o, TSocketState n) {
      events.push_back("state " + std::to_string(o) + ">" + std::to_string(n));
    };
    socket.OnSessionConnected = [this](TObject*, std::uint16_t e) {
      events.push_back("connected " + std::to_string(e));
    };
    socket.OnSessionClosed = [this](TObject*, std::uint16_t e) {
      events.push_back("closed " + std::to_string(e));
    };
    socket.OnDataSent = [this](TObject*, std::uint16_t e) {
      events.push_back("sent " + std::to_string(e));
    };
    socket.OnDnsLookupDone = [this](TObject*, std::uint16_t e) {
      events.push_back("dns " + std::to_string(e));
    };
  }
  bool Has(const std::string& event) const {
    for (const auto& e : events)
      if (e == event) return true;
    return false;
  }
  int Count(const std::string& event) const {
    int n = 0;
    for (const auto& e : events) n += e == event;
    return n;
  }
};

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

#pragma once
// Records, in order, the events a socket fires while it goes through a SOCKS proxy, and the
// bytes its OnDataAvailable handler reads, so a test can compare whole sequences.

#include <string>
#include <vector>

#include "net/WSocket.h"

struct TSocksEventLog {
  std::vector<std::string> Events;
  std::string Data;
  // Bytes per Receive in the data handler; small values make it read in several calls.
  int ReadSize = 1024;
  int RcvdCountAtFirstData = -1;

  void Attach(TWSocket& socket);
  bool Has(const std::string& event) const;
  int Count(const std::string& prefix) const;
};

// A socket aimed at a destination through a proxy on 127.0.0.1.
void AimThroughProxy(TWSocket& socket, const std::string& proxyPort, const std::string& level,
                     const std::string& addr, const std::string& port);

// Bytes from a list of values, for the binary parts of the exchanges.
std::string Bytes(std::initializer_list<int> values);

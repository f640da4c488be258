#pragma once
// Records, in order, the events a socket fires while it goes through a SOCKS proxy, and the
// bytes its OnDataAvailable handler reads, so a test can compare whole sequences; the bytes
// of the exchanges; and a client aimed through a scripted proxy.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/WSocket.h"
#include "support/ScriptedPeer.h"

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

// Bytes from a list of values, for the binary parts of the exchanges.
std::string Bytes(std::initializer_list<int> values);
// The SOCKS 5 greetings offering no authentication, and user/password as well.
extern const std::string Socks5Greeting;
extern const std::string Socks5GreetingUserPass;
// A SOCKS 5 request for a destination by name, and the success reply (bound to an address).
std::string Socks5Request(const std::string& host, int port);
extern const std::string Socks5Ok;
// The proxy's side of a SOCKS 5 negotiation without authentication for localhost:110, up to
// and including its reply.
TScriptedPeer& ScriptNoAuthNegotiation(TScriptedPeer& proxy, const std::string& reply = Socks5Ok);

// A socket whose SOCKS events are logged from the start.
struct TSocksClient {
  TSocksClient() { log.Attach(socket); }
  // Aims at a destination through the proxy on 127.0.0.1 and connects.
  void Through(const std::string& proxyPort, const std::string& level = "5",
               const std::string& addr = "localhost", const std::string& port = "110");
  void OfferUserPass(const std::string& user, const std::string& pass);
  // Closes the socket if it is still open and checks that the proxy played its whole script.
  void CloseAndCheck(TScriptedPeer& proxy);

  TSocksEventLog log;  // outlives the socket, which may still report its close
  TWSocket socket;
};

class SocksTest : public ::testing::Test, protected TSocksClient {};

// A socket aimed at a destination through a proxy on 127.0.0.1.
void AimThroughProxy(TWSocket& socket, const std::string& proxyPort, const std::string& level,
                     const std::string& addr, const std::string& port);

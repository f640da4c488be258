#pragma once
// What the POP3 suites against Dovecot share: one server for a whole suite with a large
// message among the mails it serves, and a client wired to record a session.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "DovecotServer.h"
#include "pop3/Pop3Cli.h"
#include "support/LoopRunner.h"

// One server for the whole suite (a restart costs seconds), and a 5 MB message in its folder
// whose attachment is random bytes.
struct TSuiteServer {
  TSuiteServer(const std::string& subject, std::uint32_t seed);
  TDovecotServer server;
  std::string payload;
  std::string bigPath;
  bool started = false;
};

// A client that records each request's outcome, the lines shown, the last message received
// (its lines, each ended by CR LF) and the end of the connection.
template <class TClient>
struct TPop3Session {
  TPop3Session() {
    pop3.SetUserName("alice");
    pop3.SetPassWord("secret");
    pop3.OnSessionClosed = [this](TObject*, std::uint16_t) { closed = true; };
    pop3.OnRequestDone = [this](TObject*, TPop3Request rq, std::uint16_t error) {
      lastRequest = rq;
      lastError = error;
      ++reports;
    };
    pop3.OnDisplay = [this](TObject*, const std::string& msg) { display.push_back(msg); };
    pop3.OnMessageBegin = [this](TObject*) { message.clear(); };
    pop3.OnMessageLine = [this](TObject*) { message += pop3.LastResponse() + "\r\n"; };
  }
  // Starts one request and runs the loop until it reports; its error code.
  int Do(void (TPop3Cli::*op)()) {
    const int before = reports;
    (pop3.*op)();
    EXPECT_TRUE(RunLoopUntil([&] { return reports > before; }, 20000)) << "no OnRequestDone";
    return reports > before ? lastError : -1;
  }

  // The records come before the client: its destructor may still report the closing
  // connection.
  bool closed = false;
  int reports = 0;
  TPop3Request lastRequest = pop3RqConnect;
  int lastError = -1;
  std::string message;
  std::vector<std::string> display;
  TClient pop3;
};

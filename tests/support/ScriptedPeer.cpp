#include "support/ScriptedPeer.h"
#include "support/LoopbackSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

TScriptedPeer::TScriptedPeer() {
  FListen = OpenLoopbackSocket(FPort);
  if (FListen < 0) throw std::runtime_error("scripted peer: cannot listen on 127.0.0.1");
}

TScriptedPeer::~TScriptedPeer() {
  // Unblocks accept() and recv() in the thread, which then ends.
  ::shutdown(FListen, SHUT_RDWR);
  {
    std::lock_guard<std::mutex> lock(FMutex);
    if (FConn >= 0) ::shutdown(FConn, SHUT_RDWR);
  }
  if (FThread.joinable()) FThread.join();
  if (FConn >= 0) ::close(FConn);
  ::close(FListen);
}

TScriptedPeer& TScriptedPeer::Send(const std::string& bytes) {
  FSteps.push_back({TStep::kSend, bytes});
  return *this;
}
TScriptedPeer& TScriptedPeer::Expect() {
  FSteps.push_back({TStep::kExpect, {}});
  return *this;
}
TScriptedPeer& TScriptedPeer::Pause(int ms) {
  FSteps.push_back({TStep::kPause, {}, ms});
  return *this;
}
TScriptedPeer& TScriptedPeer::Close() {
  FSteps.push_back({TStep::kClose, {}});
  return *this;
}

void TScriptedPeer::Start() {
  FThread = std::thread([this] { Run(); });
}

std::vector<std::string> TScriptedPeer::Lines() {
  std::lock_guard<std::mutex> lock(FMutex);
  return FLines;
}

bool TScriptedPeer::ScriptDone() {
  std::lock_guard<std::mutex> lock(FMutex);
  return FScriptDone;
}

bool TScriptedPeer::ClientClosed() {
  std::lock_guard<std::mutex> lock(FMutex);
  return FClientClosed;
}

// Reads until one more complete line is recorded; false when the client closed.
bool TScriptedPeer::ReadLine() {
  for (;;) {
    const std::size_t end = FPending.find("\r\n");
    if (end != std::string::npos) {
      std::lock_guard<std::mutex> lock(FMutex);
      FLines.push_back(FPending.substr(0, end));
      FPending.erase(0, end + 2);
      return true;
    }
    char chunk[4096];
    const ssize_t n = ::recv(FConn, chunk, sizeof chunk, 0);
    if (n <= 0) return false;
    FPending.append(chunk, static_cast<std::size_t>(n));
  }
}

void TScriptedPeer::Run() {
  const int conn = ::accept(FListen, nullptr, nullptr);
  if (conn < 0) return;
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FConn = conn;
  }
  // Each Send must leave as its own segment, so that split lines really arrive split.
  const int one = 1;
  ::setsockopt(conn, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  bool open = true;
  for (const TStep& step : FSteps) {
    if (step.kind == TStep::kSend) {
      ::send(conn, step.bytes.data(), step.bytes.size(), MSG_NOSIGNAL);
    } else if (step.kind == TStep::kExpect) {
      if (!ReadLine()) break;
    } else if (step.kind == TStep::kPause) {
      std::this_thread::sleep_for(std::chrono::milliseconds(step.ms));
    } else {
      ::shutdown(conn, SHUT_RDWR);
      open = false;
      break;
    }
  }
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FScriptDone = true;
  }
  while (open && ReadLine()) {
  }
  std::lock_guard<std::mutex> lock(FMutex);
  FClientClosed = true;
}

TRefusingPort::TRefusingPort() {
  // Bound but never listening: a connect to it is refused.
  FSocket = OpenLoopbackSocket(FPort, 0);
  if (FSocket < 0) throw std::runtime_error("cannot bind a loopback port");
}

TRefusingPort::~TRefusingPort() {
  ::close(FSocket);
}

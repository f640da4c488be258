#include "SocksScriptedProxy.h"
#include "support/LoopbackSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

#include "platform/MessageLoop.h"

namespace {

// Every blocking wait of the script is bounded, so a client that never sends fails the test
// instead of hanging it.
constexpr int WaitMs = 5000;

// The test waits in the message loop; a change of the script's state must wake it, since
// nothing else would be posted.
void WakeLoop() {
  PostMessage(0, WM_NULL, 0, 0);
}

bool WaitReadable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, WaitMs) == 1;
}

}  // namespace

std::string ShowBytes(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

TSocksScriptedProxy::TSocksScriptedProxy() {
  int port = 0;
  FListenFd = OpenLoopbackSocket(port);
  if (FListenFd < 0) {
    Fail("cannot listen on 127.0.0.1");
    return;
  }
  FPort = static_cast<decltype(FPort)>(port);
}

TSocksScriptedProxy::~TSocksScriptedProxy() {
  Release();
  if (FThread.joinable()) FThread.join();
  if (FListenFd >= 0) ::close(FListenFd);
}

TSocksScriptedProxy& TSocksScriptedProxy::Expect(const std::string& bytes) {
  FSteps.push_back({TStep::ExpectBytes, bytes});
  return *this;
}

TSocksScriptedProxy& TSocksScriptedProxy::Send(const std::string& bytes) {
  FSteps.push_back({TStep::SendBytes, bytes});
  return *this;
}

TSocksScriptedProxy& TSocksScriptedProxy::Hold() {
  FSteps.push_back({TStep::HoldHere, {}});
  return *this;
}

TSocksScriptedProxy& TSocksScriptedProxy::ExpectEnd() {
  FSteps.push_back({TStep::ExpectClose, {}});
  return *this;
}

TSocksScriptedProxy& TSocksScriptedProxy::Close() {
  FSteps.push_back({TStep::CloseNow, {}});
  return *this;
}

void TSocksScriptedProxy::Start() {
  FThread = std::thread([this] { Run(); });
}

void TSocksScriptedProxy::Release() {
  std::lock_guard<std::mutex> lock(FMutex);
  FReleaseFlag = true;
  FReleased.notify_all();
}

std::vector<std::string> TSocksScriptedProxy::Finish() {
  Release();
  if (FThread.joinable()) FThread.join();
  std::lock_guard<std::mutex> lock(FMutex);
  return FFailures;
}

void TSocksScriptedProxy::Fail(const std::string& what) {
  std::lock_guard<std::mutex> lock(FMutex);
  FFailures.push_back(what);
}

void TSocksScriptedProxy::Run() {
  int fd = -1;
  if (FListenFd >= 0 && WaitReadable(FListenFd)) fd = ::accept(FListenFd, nullptr, nullptr);
  if (fd < 0) {
    Fail("no client connected");
  } else {
    // Each Send step must leave as one segment so that the client sees the split.
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    for (std::size_t i = 0; i < FSteps.size(); ++i) {
      if (!RunStep(fd, FSteps[i])) {
        Fail("script stopped at step " + std::to_string(i + 1));
        break;
      }
    }
    ::close(fd);
  }
  FDone = true;
  WakeLoop();
}

bool TSocksScriptedProxy::RunStep(int fd, const TStep& step) {
  switch (step.kind) {
    case TStep::ExpectBytes: {
      std::string got;
      const bool complete = ReadExactly(fd, got, step.bytes.size());
      if (got != step.bytes)
        Fail("expected \"" + ShowBytes(step.bytes) + "\", received \"" + ShowBytes(got) + "\"");
      return complete && got == step.bytes;
    }
    case TStep::SendBytes:
      return ::send(fd, step.bytes.data(), step.bytes.size(), MSG_NOSIGNAL) ==
             static_cast<ssize_t>(step.bytes.size());
    case TStep::HoldHere: {
      std::unique_lock<std::mutex> lock(FMutex);
      FHolding = true;
      WakeLoop();
      const bool released =
          FReleased.wait_for(lock, std::chrono::seconds(10), [this] { return FReleaseFlag; });
      FReleaseFlag = false;
      FHolding = false;
      return released;
    }
    case TStep::ExpectClose: {
      char buf[512];
      if (!WaitReadable(fd)) {
        Fail("the client did not close the connection");
        return false;
      }
      const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
      if (n > 0)
        Fail("unexpected bytes before the close: \"" + ShowBytes(std::string(buf, n)) + "\"");
      return n == 0;
    }
    case TStep::CloseNow:
      ::shutdown(fd, SHUT_RDWR);
      return true;
  }
  return false;
}

// Reads until count bytes are in, the peer closes, or the wait runs out.
bool TSocksScriptedProxy::ReadExactly(int fd, std::string& out, std::size_t count) {
  char buf[512];
  while (out.size() < count) {
    if (!WaitReadable(fd)) return false;
    const std::size_t want = std::min(sizeof buf, count - out.size());
    const ssize_t n = ::recv(fd, buf, want, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    out.append(buf, static_cast<std::size_t>(n));
  }
  return true;
}

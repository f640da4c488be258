#include "support/ScriptedPeer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <stdexcept>

#include "platform/MessageLoop.h"
#include "support/LoopbackSocket.h"

namespace {

// The longest the peer waits for the component; a broken case fails instead of hanging.
constexpr int kWaitMs = 10000;

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

class TPlainStream : public TPeerStream {
 public:
  explicit TPlainStream(int fd) : FFd(fd) {}
  int Read(char* buffer, int size) override {
    ssize_t n;
    do {
      n = ::recv(FFd, buffer, static_cast<std::size_t>(size), 0);
    } while (n < 0 && errno == EINTR);
    return static_cast<int>(n);
  }
  bool Write(const std::string& bytes) override { return WriteAll(FFd, bytes); }

 private:
  int FFd;
};

// Where expected and received bytes part, in a few dozen bytes of each: a failed transfer
// of megabytes must not print them all.
std::string Difference(const std::string& expected, const std::string& got) {
  std::size_t at = 0;
  while (at < expected.size() && at < got.size() && expected[at] == got[at]) ++at;
  const std::size_t from = at > 16 ? at - 16 : 0;
  return "expected " + std::to_string(expected.size()) + " bytes, received " +
         std::to_string(got.size()) + "; from byte " + std::to_string(from) + ": expected \"" +
         ShowBytes(expected.substr(from, 48)) + "\", received \"" +
         ShowBytes(got.substr(from, 48)) + "\"";
}

}  // namespace

TScriptedPeer::TScriptedPeer() {
  int port = 0;
  FListenFd = OpenLoopbackSocket(port);
  if (FListenFd < 0 || ::pipe2(FWake, O_CLOEXEC | O_NONBLOCK) != 0)
    throw std::runtime_error("scripted peer: cannot listen on 127.0.0.1");
  FPort = static_cast<std::uint16_t>(port);
  FThread = std::thread([this] { Run(false); });
}

TScriptedPeer::TScriptedPeer(TDial target) : FPort(target.Port) {
  if (::pipe2(FWake, O_CLOEXEC | O_NONBLOCK) != 0)
    throw std::runtime_error("scripted peer: no pipe");
  FThread = std::thread([this] { Run(true); });
}

TScriptedPeer::~TScriptedPeer() {
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FQuit = true;
    // Unblocks a step that reads or writes; the thread then ends.
    if (FFd >= 0) ::shutdown(FFd, SHUT_RDWR);
  }
  FChanged.notify_all();
  Wake();
  FThread.join();
  FStream.reset();
  for (int fd : {FFd, FListenFd, FWake[0], FWake[1]})
    if (fd >= 0) ::close(fd);
}

TScriptedPeer& TScriptedPeer::Add(TStep step) {
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FSteps.push_back(std::move(step));
  }
  Wake();
  return *this;
}

TScriptedPeer& TScriptedPeer::Send(const std::string& bytes) {
  return Add({TStep::kSend, bytes, {}});
}
TScriptedPeer& TScriptedPeer::SendRaw(const std::string& bytes) {
  return Add({TStep::kSendRaw, bytes, {}});
}
TScriptedPeer& TScriptedPeer::Expect(const std::string& bytes) {
  return Add({TStep::kExpect, bytes, {}});
}
TScriptedPeer& TScriptedPeer::Expect() {
  return Add({TStep::kLine, {}, {}});
}
TScriptedPeer& TScriptedPeer::ExpectAny() {
  return Add({TStep::kAny, {}, {}});
}
TScriptedPeer& TScriptedPeer::ExpectEnd() {
  return Add({TStep::kEnd, {}, {}});
}
TScriptedPeer& TScriptedPeer::Hold() {
  return Add({TStep::kHold, {}, {}});
}
TScriptedPeer& TScriptedPeer::Close() {
  return Add({TStep::kClose, {}, {}});
}
TScriptedPeer& TScriptedPeer::Reset() {
  return Add({TStep::kReset, {}, {}});
}
TScriptedPeer& TScriptedPeer::Do(TStepFunction step) {
  return Add({TStep::kDo, {}, std::move(step)});
}

void TScriptedPeer::Release() {
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FReleased = true;
  }
  FChanged.notify_all();
}

bool TScriptedPeer::Connected() {
  std::lock_guard<std::mutex> lock(FMutex);
  return FConnected;
}

bool TScriptedPeer::Holding() {
  std::lock_guard<std::mutex> lock(FMutex);
  return FHolding;
}

bool TScriptedPeer::Done() {
  std::lock_guard<std::mutex> lock(FMutex);
  return FSteps.empty() && FPlaying == 0;
}

bool TScriptedPeer::ComponentClosed() {
  std::lock_guard<std::mutex> lock(FMutex);
  return FEof;
}

std::string TScriptedPeer::Received() {
  std::lock_guard<std::mutex> lock(FMutex);
  return FReceived;
}

std::size_t TScriptedPeer::ReceivedSize() {
  std::lock_guard<std::mutex> lock(FMutex);
  return FReceived.size();
}

std::vector<std::string> TScriptedPeer::Lines() {
  const std::string all = Received();
  std::vector<std::string> lines;
  for (std::size_t from = 0, end; (end = all.find("\r\n", from)) != std::string::npos;
       from = end + 2)
    lines.push_back(all.substr(from, end - from));
  return lines;
}

std::vector<std::string> TScriptedPeer::Failures() {
  std::lock_guard<std::mutex> lock(FMutex);
  return FFailures;
}

bool TScriptedPeer::WaitPlayed(int ms) {
  std::unique_lock<std::mutex> lock(FMutex);
  return FChanged.wait_for(lock, std::chrono::milliseconds(ms),
                           [this] { return FSteps.empty() && FPlaying == 0; });
}

void TScriptedPeer::Wake() {
  const char byte = 1;
  // A full pipe already means "look again"; nothing is lost when the write fails.
  [[maybe_unused]] ssize_t n = ::write(FWake[1], &byte, 1);
}

void TScriptedPeer::Changed() {
  FChanged.notify_all();
  // The test waits in the message loop, which nothing else would wake for this.
  PostMessage(0, WM_NULL, 0, 0);
}

void TScriptedPeer::Fail(const std::string& what) {
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FFailures.push_back(what);
  }
  Changed();
}

void TScriptedPeer::Run(bool dial) {
  if (Establish(dial)) {
    FStream = std::make_unique<TPlainStream>(FFd);
    TStep step;
    while (TakeStep(step)) {
      const bool ok = Play(step);
      {
        std::lock_guard<std::mutex> lock(FMutex);
        --FPlaying;
        // A failed step ends the script: what follows it assumed it had worked.
        if (!ok) FStopped = true;
      }
      Changed();
    }
  } else {
    std::lock_guard<std::mutex> lock(FMutex);
    FStopped = true;
  }
  Changed();
}

bool TScriptedPeer::Establish(bool dial) {
  int fd = -1;
  if (dial) {
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(FPort);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
      ::close(fd);
      Fail("cannot connect to port " + std::to_string(FPort));
      return false;
    }
  } else {
    // Waits for the component, or for the end of the peer; steps added meanwhile only wake
    // the wait.
    pollfd fds[2] = {{FListenFd, POLLIN, 0}, {FWake[0], POLLIN, 0}};
    while (!(fds[0].revents & POLLIN)) {
      if (::poll(fds, 2, -1) < 0 && errno != EINTR) return false;
      DrainWake();
      std::lock_guard<std::mutex> lock(FMutex);
      if (FQuit) return false;
    }
    fd = ::accept4(FListenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return false;
  }
  // Each Send must leave as a segment of its own, not wait for the component's
  // acknowledgement of the one before (Nagle), so that split data really arrives split.
  const int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  const timeval bound{kWaitMs / 1000, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &bound, sizeof bound);
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FFd = fd;
    FConnected = true;
    // The peer may already be going away; the destructor's shutdown must reach this socket.
    if (FQuit) ::shutdown(fd, SHUT_RDWR);
  }
  Changed();
  return true;
}

// The next step to play, reading whatever comes meanwhile; false when the peer goes away.
bool TScriptedPeer::TakeStep(TStep& step) {
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(FMutex);
      if (FQuit) return false;
      if (FStopped) FSteps.clear();
      if (!FSteps.empty()) {
        step = std::move(FSteps.front());
        FSteps.pop_front();
        ++FPlaying;
        return true;
      }
    }
    Idle();
  }
}

void TScriptedPeer::Idle() {
  if (FFd >= 0 && !FEof && FStream->Buffered()) {
    ReadMore(0);
    return;
  }
  pollfd fds[2] = {{FWake[0], POLLIN, 0}, {FFd >= 0 && !FEof ? FFd : -1, POLLIN, 0}};
  if (::poll(fds, 2, -1) < 0) return;
  DrainWake();
  if (fds[1].revents) ReadMore(0);
}

void TScriptedPeer::DrainWake() {
  char drain[64];
  while (::read(FWake[0], drain, sizeof drain) > 0) {
  }
}

// One read of what the component sent, waiting up to ms for it; false when nothing came.
bool TScriptedPeer::ReadMore(int ms) {
  if (FFd < 0 || FEof) return false;
  if (!FStream->Buffered()) {
    pollfd p{FFd, POLLIN, 0};
    if (::poll(&p, 1, ms) <= 0) return false;
  }
  char buffer[65536];
  const int n = FStream->Read(buffer, sizeof buffer);
  {
    std::lock_guard<std::mutex> lock(FMutex);
    // An error (a reset) ends the stream as well: nothing more can come.
    if (n <= 0)
      FEof = true;
    else
      FReceived.append(buffer, static_cast<std::size_t>(n));
  }
  if (n > 0) FUnread.append(buffer, static_cast<std::size_t>(n));
  Changed();
  return n > 0;
}

// Reads until count bytes are unread; false when the stream ends first, or nothing comes
// for the longest wait.
bool TScriptedPeer::Unread(std::size_t count) {
  while (FUnread.size() < count)
    if (!ReadMore(kWaitMs)) return false;
  return true;
}

bool TScriptedPeer::Play(const TStep& step) {
  switch (step.Kind) {
    case TStep::kSend:
    case TStep::kSendRaw:
      return Write(step.Bytes, step.Kind == TStep::kSendRaw);
    case TStep::kExpect:
      return ExpectBytes(step.Bytes);
    case TStep::kLine:
      return ExpectLine();
    case TStep::kAny:
      if (!Unread(1)) {
        Fail("nothing came");
        return false;
      }
      FUnread.clear();
      return true;
    case TStep::kEnd:
      return ExpectClose();
    case TStep::kHold:
      return HoldHere();
    case TStep::kClose:
      return FFd >= 0 && ::shutdown(FFd, SHUT_WR) == 0;
    case TStep::kReset:
      return ResetNow();
    case TStep::kDo:
      return step.Function(*this);
  }
  return false;
}

bool TScriptedPeer::Write(const std::string& bytes, bool raw) {
  if (FFd >= 0 && (raw ? WriteAll(FFd, bytes) : FStream->Write(bytes))) return true;
  Fail("cannot send \"" + ShowBytes(bytes.substr(0, 48)) + "\"");
  return false;
}

bool TScriptedPeer::ExpectBytes(const std::string& bytes) {
  const bool complete = Unread(bytes.size());
  const std::string got = FUnread.substr(0, bytes.size());
  FUnread.erase(0, got.size());
  if (complete && got == bytes) return true;
  Fail(Difference(bytes, got));
  return false;
}

bool TScriptedPeer::ExpectLine() {
  std::size_t end;
  while ((end = FUnread.find("\r\n")) == std::string::npos) {
    if (!ReadMore(kWaitMs)) {
      Fail("no line came; received \"" + ShowBytes(FUnread.substr(0, 200)) + "\"");
      return false;
    }
  }
  FUnread.erase(0, end + 2);
  return true;
}

bool TScriptedPeer::ExpectClose() {
  while (ReadMore(kWaitMs)) {
  }
  if (!FUnread.empty()) {
    Fail("unexpected bytes before the close: \"" + ShowBytes(FUnread.substr(0, 200)) + "\"");
    return false;
  }
  if (!FEof) Fail("the component did not close the connection");
  return FEof;
}

bool TScriptedPeer::HoldHere() {
  std::unique_lock<std::mutex> lock(FMutex);
  FHolding = true;
  PostMessage(0, WM_NULL, 0, 0);
  const bool released = FChanged.wait_for(lock, std::chrono::milliseconds(kWaitMs),
                                          [this] { return FReleased || FQuit; });
  FReleased = false;
  FHolding = false;
  lock.unlock();
  if (!released) Fail("held for ever: the test never released the peer");
  return released;
}

bool TScriptedPeer::ResetNow() {
  // Linger on with no time turns the close into a reset.
  const linger hard{1, 0};
  ::setsockopt(FFd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
  std::lock_guard<std::mutex> lock(FMutex);
  ::close(FFd);
  FFd = -1;
  FEof = true;
  return true;
}

TRefusingPort::TRefusingPort() {
  // Bound but never listening: a connect to it is refused.
  FSocket = OpenLoopbackSocket(FPort, 0);
  if (FSocket < 0) throw std::runtime_error("cannot bind a loopback port");
}

TRefusingPort::~TRefusingPort() {
  ::close(FSocket);
}

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

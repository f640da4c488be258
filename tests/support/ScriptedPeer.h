#pragma once
// The one scripted peer of the tests: a thread with ordinary blocking sockets on 127.0.0.1
// that plays a script against the component under test, exactly as a case needs it: send
// these bytes (each Send leaves as a segment of its own), expect exactly those, take a line,
// hold until the test lets go, close, reset. It records every byte the component sent.
// Steps may be added before the connection exists or while the script runs, so a test can
// also deliver packet after packet. Every change a test may wait for posts a message that
// wakes the loop, and every wait of a step is bounded, so a broken case fails instead of
// hanging. After the last step the peer keeps reading until the component closes, and it
// ends with the object whatever it is doing.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// How the peer reads and writes its connection: plain by default; the TLS cases put a TLS
// session in its place (support/TlsPeer.h).
class TPeerStream {
 public:
  virtual ~TPeerStream() = default;
  // Bytes read (at least one), 0 at the end of the stream, below 0 on an error.
  virtual int Read(char* buffer, int size) = 0;
  virtual bool Write(const std::string& bytes) = 0;
  // Bytes already taken off the socket and waiting in the stream itself.
  virtual bool Buffered() const { return false; }
};

class TScriptedPeer {
 public:
  using TStepFunction = std::function<bool(TScriptedPeer&)>;
  struct TDial {
    std::uint16_t Port;
  };

  // Listens at a port the kernel chooses and plays the script on the first connection.
  TScriptedPeer();
  // Connects to a component listening on 127.0.0.1:port instead.
  explicit TScriptedPeer(TDial target);
  ~TScriptedPeer();
  TScriptedPeer(const TScriptedPeer&) = delete;
  TScriptedPeer& operator=(const TScriptedPeer&) = delete;

  std::string Port() const { return std::to_string(FPort); }
  std::uint16_t PortNumber() const { return FPort; }

  // Steps. A step that fails records why and ends the script.
  TScriptedPeer& Send(const std::string& bytes);
  // Past the stream (a TLS session): raw bytes on the socket.
  TScriptedPeer& SendRaw(const std::string& bytes);
  // The next bytes from the component are exactly these.
  TScriptedPeer& Expect(const std::string& bytes);
  // One CR LF line, whatever it holds (a command; Lines() has them all).
  TScriptedPeer& Expect();
  // Whatever bytes come, at least one.
  TScriptedPeer& ExpectAny();
  // The component closes its side, sending nothing more.
  TScriptedPeer& ExpectEnd();
  // Stops until Release().
  TScriptedPeer& Hold();
  // The end of the peer's stream (the component reads its end); the peer goes on reading.
  TScriptedPeer& Close();
  // A reset instead of an orderly end.
  TScriptedPeer& Reset();
  // A step of the case's own on the peer's thread (the TLS handshake).
  TScriptedPeer& Do(TStepFunction step);
  void Release();

  // What a test waits for; every change wakes the loop.
  bool Connected();
  bool Holding();
  // Every step added so far has been played (or the script stopped).
  bool Done();
  // The component closed its side (the peer read the end of its stream).
  bool ComponentClosed();
  std::string Received();
  std::size_t ReceivedSize();
  // The complete CR LF lines received, without CR LF.
  std::vector<std::string> Lines();
  std::vector<std::string> Failures();
  // Blocks, without running the loop, until every step added so far has been played, for a
  // case that must keep its loop still meanwhile; false after the bound.
  bool WaitPlayed(int ms = 5000);

  // For steps, on the peer's thread.
  int Fd() const { return FFd; }
  TPeerStream* Stream() const { return FStream.get(); }
  void UseStream(std::unique_ptr<TPeerStream> stream) { FStream = std::move(stream); }

 private:
  struct TStep {
    enum TKind { kSend, kSendRaw, kExpect, kLine, kAny, kEnd, kHold, kClose, kReset, kDo };
    TKind Kind;
    std::string Bytes;
    TStepFunction Function;
  };

  TScriptedPeer& Add(TStep step);
  void Run(bool dial);
  bool Establish(bool dial);
  bool Play(const TStep& step);
  bool Write(const std::string& bytes, bool raw);
  bool ReadMore(int ms);
  bool Unread(std::size_t count);
  bool ExpectBytes(const std::string& bytes);
  bool ExpectLine();
  bool ExpectClose();
  bool HoldHere();
  bool ResetNow();
  void Idle();
  bool TakeStep(TStep& step);
  void Fail(const std::string& what);
  void Changed();
  void Wake();
  void DrainWake();

  int FListenFd = -1;
  int FFd = -1;
  std::uint16_t FPort = 0;
  int FWake[2] = {-1, -1};
  std::unique_ptr<TPeerStream> FStream;
  std::string FUnread;  // received, not yet taken by an Expect step (peer's thread)
  std::thread FThread;

  std::mutex FMutex;
  std::condition_variable FChanged;
  std::deque<TStep> FSteps;
  std::size_t FPlaying = 0;  // steps taken but not yet finished
  std::string FReceived;
  std::vector<std::string> FFailures;
  bool FConnected = false;
  bool FHolding = false;
  bool FReleased = false;
  bool FEof = false;
  bool FStopped = false;
  bool FQuit = false;
};

// A loopback port that refuses connections: bound, so nobody else takes it, but not
// listening.
class TRefusingPort {
 public:
  TRefusingPort();
  ~TRefusingPort();
  std::string Port() const { return std::to_string(FPort); }
  std::uint16_t PortNumber() const { return static_cast<std::uint16_t>(FPort); }

 private:
  int FSocket = -1;
  int FPort = 0;
};

// Bytes written as text for test failures: printable characters as they are, others as \xNN.
std::string ShowBytes(const std::string& bytes);

#pragma once
// A scripted TCP peer for socket tests: a thread with its own sockets on 127.0.0.1 that
// accepts one connection and sends exactly the bytes a test gives it, each Send as one
// write, in order. Whether two writes arrive as two packets is the test's business: it
// waits (in the message loop) until the component has taken the first before sending the
// second. Everything the component sends back is collected. The peer pokes the message
// loop whenever something happens, so a RunLoopUntil on its state wakes at once.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "platform/Messages.h"

class TLinePeer {
 public:
  // Listens on 127.0.0.1 with a port chosen by the kernel. Must be built on the loop's
  // thread (it owns a window there for its pokes).
  TLinePeer();
  ~TLinePeer();
  TLinePeer(const TLinePeer&) = delete;
  TLinePeer& operator=(const TLinePeer&) = delete;

  std::uint16_t Port() const { return FPort; }
  std::string PortText() const { return std::to_string(FPort); }

  // Queues bytes for one write (a large block is written in as many pieces as the
  // connection takes). Writes happen in the order queued, once a connection is accepted.
  void Send(const std::string& bytes);
  // Closes the connection once everything queued before has been written.
  void CloseConnection();

  bool Accepted();
  // All bytes written so far (whole queued blocks only).
  std::uint64_t Written();
  // Everything received from the component so far.
  std::string Received();
  // True once the component closed its side (the peer read end of stream).
  bool PeerClosed();

 private:
  struct TCommand {
    bool close = false;
    std::string bytes;
  };

  void Run();
  bool HandleListen();
  void HandleReadable();
  bool TakeCommand(TCommand& cmd);
  void WriteSome();
  void DropConnection();
  void Poke();
  void Wake();

  int FListenFd = -1;
  int FConnFd = -1;
  bool FReadOpen = false;  // thread only
  int FWakeRead = -1;
  int FWakeWrite = -1;
  std::uint16_t FPort = 0;
  HWND FPokeWnd = 0;

  std::mutex FLock;
  std::deque<TCommand> FCommands;
  std::string FReceived;
  std::uint64_t FWritten = 0;
  bool FAccepted = false;
  bool FPeerClosed = false;
  bool FStop = false;

  // Owned by the thread: the block being written and how far it got.
  TCommand FCurrent;
  bool FHaveCurrent = false;
  std::size_t FCurrentDone = 0;

  std::thread FThread;
};

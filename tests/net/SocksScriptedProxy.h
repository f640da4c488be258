#pragma once
// A peer on 127.0.0.1 that plays a script on a thread of its own with blocking sockets: it
// accepts one connection, checks that it receives exactly the bytes each step expects,
// answers exactly the bytes each step gives, and can stop between pieces until the test
// lets it go on, so that a reply reaches the client split where a case needs it.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TSocksScriptedProxy {
 public:
  TSocksScriptedProxy();
  ~TSocksScriptedProxy();

  std::uint16_t Port() const { return FPort; }
  std::string PortText() const { return std::to_string(FPort); }

  // Script steps, played in order once Start is called.
  TSocksScriptedProxy& Expect(const std::string& bytes);
  TSocksScriptedProxy& Send(const std::string& bytes);
  // Stops until Release; Holding() tells the test the proxy got there.
  TSocksScriptedProxy& Hold();
  // Expects the client to close the connection (end of stream, nothing more received).
  TSocksScriptedProxy& ExpectEnd();
  TSocksScriptedProxy& Close();

  void Start();
  bool Holding() const { return FHolding; }
  void Release();
  bool Done() const { return FDone; }
  // Waits for the script to end (bounded) and returns what went wrong, empty when nothing.
  std::vector<std::string> Finish();

 private:
  struct TStep {
    enum Kind { ExpectBytes, SendBytes, HoldHere, ExpectClose, CloseNow } kind;
    std::string bytes;
  };
  void Run();
  bool RunStep(int fd, const TStep& step);
  bool ReadExactly(int fd, std::string& out, std::size_t count);
  void Fail(const std::string& what);

  int FListenFd = -1;
  std::uint16_t FPort = 0;
  std::vector<TStep> FSteps;
  std::thread FThread;
  std::atomic<bool> FHolding{false};
  std::atomic<bool> FDone{false};
  std::mutex FMutex;
  std::condition_variable FReleased;
  bool FReleaseFlag = false;
  std::vector<std::string> FFailures;
};

// Bytes written as text for test failures: printable characters as they are, others as \xNN.
std::string ShowBytes(const std::string& bytes);

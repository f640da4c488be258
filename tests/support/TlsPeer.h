#pragma once
// A TLS server stand-in on 127.0.0.1 for the TLS cases: a thread with a blocking socket
// and OpenSSL that accepts one connection and plays the case's script on it (a handshake
// with a given certificate, plain text out and in, raw bytes, a close in the middle). When
// the script ends it keeps reading until the client closes, recording every plain byte the
// client sent, so a test can see what was sent and that nothing more was.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "support/TestAuthority.h"

struct ssl_st;

class TTlsPeer {
 public:
  using TScript = std::function<void(TTlsPeer&)>;

  explicit TTlsPeer(TScript script);
  ~TTlsPeer();
  std::string Port() const { return std::to_string(FPort); }

  // Steps for the script, on the peer's thread. Handshake is false when the client gave up;
  // maxVersion (e.g. TLS1_1_VERSION) narrows what the server offers.
  bool Handshake(const TCertificate& cert, int maxVersion = 0);
  void Send(const std::string& plain);
  // The next line of plain text, CR LF included; empty when the stream ended first.
  std::string ReadLine();
  void SendRaw(const std::string& bytes);
  // Raw bytes as they come: at least one, or empty at the end.
  std::string ReadRaw();
  void CloseNotify();
  void Close();
  // Holds the script until the test releases it (or the peer goes away).
  void WaitForRelease();

  // For the test's thread: the plain text the client sent, and what arrived outside TLS.
  std::string Received();
  std::string RawReceived();
  bool Finished();
  void Release();

 private:
  void Run();
  void Record(const char* data, int n);

  TScript FScript;
  int FListen = -1;
  int FConn = -1;
  int FPort = 0;
  ssl_st* FSsl = nullptr;
  std::string FPending;
  std::thread FThread;
  std::mutex FMutex;
  std::condition_variable FReleasedChanged;
  std::string FReceived;
  std::string FRawReceived;
  bool FFinished = false;
  bool FReleased = false;
};

#pragma once
// A POP3 server stand-in for protocol edge cases: a thread with blocking sockets on
// 127.0.0.1 that plays a script (send these exact bytes, wait for a command line, pause,
// close) and records every line the client sent. After the script it keeps reading until
// the client closes, so a test can also see that nothing more was sent.

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TScriptedPeer {
 public:
  TScriptedPeer();
  ~TScriptedPeer();

  // Script steps, added before Start.
  TScriptedPeer& Send(const std::string& bytes);
  // Waits for one CR LF line from the client (recorded by Lines()).
  TScriptedPeer& Expect();
  // Gives the client time to take what was sent so far in a read of its own.
  TScriptedPeer& Pause(int ms = 40);
  TScriptedPeer& Close();

  void Start();
  std::string Port() const { return std::to_string(FPort); }
  // The lines received so far, without CR LF.
  std::vector<std::string> Lines();
  // True once the script has run to its end (or the client went away).
  bool ScriptDone();
  // True once the client closed its side after the script ended.
  bool ClientClosed();

 private:
  struct TStep {
    enum { kSend, kExpect, kPause, kClose } kind;
    std::string bytes;
    int ms = 0;
  };
  void Run();
  bool ReadLine();

  int FListen = -1;
  int FConn = -1;
  int FPort = 0;
  std::vector<TStep> FSteps;
  std::thread FThread;
  std::mutex FMutex;
  std::vector<std::string> FLines;
  std::string FPending;
  bool FScriptDone = false;
  bool FClientClosed = false;
};

// A loopback port that refuses connections: bound, so nobody else takes it, but not
// listening.
class TRefusingPort {
 public:
  TRefusingPort();
  ~TRefusingPort();
  std::string Port() const { return std::to_string(FPort); }

 private:
  int FSocket = -1;
  int FPort = 0;
};

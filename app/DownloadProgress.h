#pragma once
// The download's progress for the terminal: while the main window's status line says only
// "Checking your mail... Please wait.", each message's number, the count and the bytes
// received so far, taken from the POP3 client's own events (the command lines it sends,
// the lines it receives).

#include <cstdint>
#include <string>

#include "app/ConsoleOutput.h"
#include "pop3/Pop3Cli.h"

class TDownloadProgress {
 public:
  TDownloadProgress(TPop3Cli& client, TConsoleOutput& out);
  ~TDownloadProgress();
  TDownloadProgress(const TDownloadProgress&) = delete;
  TDownloadProgress& operator=(const TDownloadProgress&) = delete;

 private:
  void Sent(const std::string& text);
  void Received(const std::string& line);
  void Report(bool final);

  TPop3Cli& FClient;
  TConsoleOutput& FOut;
  enum class TPhase { Idle, AwaitingReply, Receiving } FPhase = TPhase::Idle;
  int FNumber = 0;
  std::int64_t FBytes = 0;  // as received, each line with its CR LF
  std::uint64_t FReported = 0;
};

#pragma once
// Lines typed at the terminal (or arriving on a pipe), read through the message loop: the
// descriptor is watched with the sockets, so waiting for the user never stalls the mail
// check, and a read happens only when poll() says one will not block.

#include <deque>
#include <functional>
#include <string>

class TConsoleInput {
 public:
  // fd is read from the first NextLine on; -1 stands for an input that is closed.
  explicit TConsoleInput(int fd);
  ~TConsoleInput();
  TConsoleInput(const TConsoleInput&) = delete;
  TConsoleInput& operator=(const TConsoleInput&) = delete;

  // Takes the next whole line (without its CR LF or LF) if one has come; false otherwise.
  bool NextLine(std::string& line);
  // No line is waiting and none will come: the input has ended or cannot be read.
  bool Closed() const { return FEnded && FLines.empty(); }

  // Told, from the loop, when a line has come or the input has closed.
  std::function<void()> OnChange;

 private:
  void Watch();
  void Read();
  void End();

  int FFd;
  int FWatch = 0;
  bool FEnded = false;
  std::string FPartial;  // the text of a line whose end has not come yet
  std::deque<std::string> FLines;
};

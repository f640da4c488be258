#include "app/ConsoleInput.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "platform/MessageLoop.h"

TConsoleInput::TConsoleInput(int fd) : FFd(fd) {
  if (fd < 0 || ::fcntl(fd, F_GETFD) == -1) FEnded = true;
}

TConsoleInput::~TConsoleInput() {
  if (FWatch) UnwatchFd(FWatch);
}

bool TConsoleInput::NextLine(std::string& line) {
  Watch();
  if (FLines.empty()) return false;
  line = std::move(FLines.front());
  FLines.pop_front();
  return true;
}

// Reading starts only when a line is wanted: a program that never asks leaves the terminal
// alone, and one started in the background is not stopped for reading it.
void TConsoleInput::Watch() {
  if (FWatch || FEnded) return;
  FWatch = WatchFd(FFd, POLLIN, [this](short) { Read(); });
}

void TConsoleInput::Read() {
  char buffer[4096];
  const ssize_t n = ::read(FFd, buffer, sizeof buffer);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
  if (n <= 0) return End();
  for (ssize_t i = 0; i < n; ++i) {
    if (buffer[i] != '\n') {
      FPartial += buffer[i];
      continue;
    }
    if (!FPartial.empty() && FPartial.back() == '\r') FPartial.pop_back();
    FLines.push_back(std::move(FPartial));
    FPartial.clear();
  }
  if (OnChange) OnChange();
}

// A last line without its line end still counts.
void TConsoleInput::End() {
  UnwatchFd(FWatch);
  FWatch = 0;
  FEnded = true;
  if (!FPartial.empty()) FLines.push_back(std::move(FPartial));
  FPartial.clear();
  if (OnChange) OnChange();
}

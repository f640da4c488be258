#include "support/XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  for (std::size_t start = 0; start <= dirs.size();) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    if (::access((dirs.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

TXvfbServer::~TXvfbServer() {
  if (FPid > 0) {
    ::kill(FPid, SIGTERM);
    ::waitpid(FPid, nullptr, 0);
  }
}

bool TXvfbServer::Start(int depth, const std::string& size) {
  int fds[2];
  if (::pipe(fds) != 0) return false;
  FPid = ::fork();
  if (FPid == 0) {
    ::close(fds[0]);
    int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    std::string fd = std::to_string(fds[1]);
    std::string screen = size + "x" + std::to_string(depth);
    ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
             "tcp", "-noreset", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(fds[1]);
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  char c;
  while (::poll(&p, 1, 10000) == 1 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  ::close(fds[0]);
  if (number.empty()) return false;
  FName = ":" + number;
  return true;
}

std::string TXvfbServer::Run(const std::string& command) const {
  std::string out;
  FILE* f = ::popen(("DISPLAY=" + FName + " " + command + " 2>/dev/null").c_str(), "r");
  if (!f) return out;
  char buf[256];
  while (std::fgets(buf, sizeof buf, f)) out += buf;
  ::pclose(f);
  return out;
}

pid_t TXvfbServer::Spawn(const std::string& command) const {
  pid_t pid = ::fork();
  if (pid == 0) {
    ::setenv("DISPLAY", FName.c_str(), 1);
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return pid;
}

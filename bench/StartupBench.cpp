// How fast the program comes up: from the moment it is started to its main window mapped on
// an X server (Xvfb), and to the first command line its POP3 client sends. The program is the
// build's own, run from a copy of its program folder whose settings name a listening socket
// of this benchmark; that socket greets and notes when the first line arrives. The same run
// without a display gives the time to the first command of the headless start.
//
//   startup_bench [--rounds N]

#include <X11/Xlib.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/XvfbServer.h"

namespace {

using TClock = std::chrono::steady_clock;

double Ms(TClock::time_point from, TClock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// A listening socket on 127.0.0.1 that greets one client and waits for its first line.
class TGreeter {
 public:
  TGreeter() {
    FListen = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(FListen, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(FListen, 4) != 0 ||
        ::getsockname(FListen, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
      std::perror("listen");
      std::exit(1);
    }
    FPort = ntohs(a.sin_port);
  }
  ~TGreeter() { ::close(FListen); }
  int Port() const { return FPort; }
  int Fd() const { return FListen; }

  // Takes the connection waiting on the socket, greets it and reads its first line; the
  // time when the line had come whole.
  TClock::time_point FirstLine() {
    const int conn = ::accept(FListen, nullptr, nullptr);
    const char greeting[] = "+OK ready\r\n";
    if (::write(conn, greeting, sizeof greeting - 1) < 0) std::perror("write");
    std::string line;
    char c;
    while (line.find("\r\n") == std::string::npos && ::read(conn, &c, 1) == 1) line += c;
    const auto at = TClock::now();
    ::close(conn);
    return at;
  }

 private:
  int FListen = -1;
  int FPort = 0;
};

struct TRound {
  double window = -1;   // ms to the main window mapped; -1 without a display
  double command = -1;  // ms to the first command line
};

// One start of the program; with an X connection, the root window's children are watched
// for the main window's map.
TRound RunOnce(const std::string& program, const std::string& display, Display* x,
               TGreeter& server) {
  TRound round;
  const auto start = TClock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (display.empty())
      ::unsetenv("DISPLAY");
    else
      ::setenv("DISPLAY", display.c_str(), 1);
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  const auto deadline = start + std::chrono::seconds(10);
  bool greeted = false;
  while ((!greeted || (x && round.window < 0)) && TClock::now() < deadline) {
    pollfd fds[2] = {{server.Fd(), POLLIN, 0}, {x ? ConnectionNumber(x) : -1, POLLIN, 0}};
    if (x && XPending(x) == 0) ::poll(fds, 2, 100);
    if (!x) ::poll(fds, 1, 100);
    if (fds[0].revents & POLLIN) {
      round.command = Ms(start, server.FirstLine());
      greeted = true;
    }
    while (x && XPending(x) > 0) {
      XEvent e;
      XNextEvent(x, &e);
      if (e.type == MapNotify && round.window < 0) round.window = Ms(start, TClock::now());
    }
  }
  ::kill(pid, SIGTERM);
  ::waitpid(pid, nullptr, 0);
  return round;
}

void Print(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  if (ms.empty() || ms.front() < 0) {
    std::printf("%-44s  no result\n", what);
    return;
  }
  std::printf("%-44s  min %7.1f  median %7.1f  max %7.1f ms\n", what, ms.front(), ms[ms.size() / 2],
              ms.back());
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 10;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::max(1, std::atoi(argv[i + 1]));
  namespace fs = std::filesystem;
  std::string name = "quillet-startup-";
  name += std::to_string(::getpid());
  const std::string folder = fs::temp_directory_path() / name;
  fs::copy(QUILLET_PROGRAM_DIR, folder, fs::copy_options::recursive);
  TGreeter server;
  std::ofstream(folder + "/Tessel.dat", std::ios::binary) << "127.0.0.1\r\n"
                                                          << server.Port() << "\r\nbench\r\nqx\r\n";

  TXvfbServer xvfb;
  if (!xvfb.Start(24)) {
    std::fprintf(stderr, "startup_bench: Xvfb did not start (tools/install-deps installs it)\n");
    return 1;
  }
  Display* x = XOpenDisplay(xvfb.Name().c_str());
  XSelectInput(x, DefaultRootWindow(x), SubstructureNotifyMask);
  XFlush(x);

  std::vector<double> window, command, headless;
  for (int i = 0; i < rounds; ++i) {
    const TRound onX = RunOnce(folder + "/quillet", xvfb.Name(), x, server);
    window.push_back(onX.window);
    command.push_back(onX.command);
    headless.push_back(RunOnce(folder + "/quillet", "", nullptr, server).command);
  }
  std::printf("quillet start-up, %d rounds\n", rounds);
  Print("to the main window mapped (Xvfb)", window);
  Print("to the first command sent (Xvfb)", command);
  Print("to the first command sent (no display)", headless);
  XCloseDisplay(x);
  fs::remove_all(folder);
  return 0;
}

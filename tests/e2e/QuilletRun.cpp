#include "QuilletRun.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

std::string CommandOutput(const std::string& command, int& status, bool errors) {
  FILE* run = ::popen((errors ? command + " 2>&1" : command).c_str(), "r");
  std::string out;
  char buf[256];
  while (run && std::fgets(buf, sizeof buf, run)) out += buf;
  status = run ? WEXITSTATUS(::pclose(run)) : -1;
  return out;
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

namespace {
void Stop(pid_t& pid, int signal) {
  if (pid <= 0) return;
  ::kill(pid, signal);
  ::waitpid(pid, nullptr, 0);
  pid = -1;
}
}  // namespace

void QuilletRun::SetUp() {
  ASSERT_TRUE(OnPath("Xvfb") && OnPath("xdotool")) << "tools/install-deps installs them";
  ASSERT_TRUE(Server.Start(24));
  ASSERT_NO_FATAL_FAILURE(Install("program"));
}

void QuilletRun::TearDown() {
  Stop(FPid, SIGKILL);
  Stop(FManager, SIGTERM);
}

void QuilletRun::Install(const std::string& prefix) const {
  int status = 0;
  const std::string out =
      CommandOutput(std::string("'") + QUILLET_CMAKE + "' --install '" + QUILLET_BUILD_DIR +
                        "' --prefix '" + Folder.File(prefix) + "'",
                    status);
  ASSERT_EQ(status, 0) << out;
}

std::string QuilletRun::ProgramFile(const std::string& name) const {
  return Folder.Read("program/" + name);
}

void QuilletRun::SetProgramFile(const std::string& name, const std::string& bytes) const {
  Folder.Write("program/" + name, bytes);
}

std::string QuilletRun::ProgramCommand() const {
  const char* under = std::getenv("QUILLET_RUN_UNDER");
  return (under ? std::string(under) + " '" : "'") + Folder.File("program/quillet") + "'";
}

void QuilletRun::Start(const std::string& arguments) {
  StartCommand(ProgramCommand() + " " + arguments);
}

void QuilletRun::StartCommand(const std::string& command) {
  FPid = Server.Spawn("cd / && exec " + command);
  ASSERT_GT(FPid, 0);
}

// A manager that has taken the screen names its check window on the root window.
void QuilletRun::StartWindowManager(const std::string& name) {
  ASSERT_TRUE(OnPath(name)) << "tools/install-deps installs " << name;
  FManager = Server.Spawn("exec " + name + " >/dev/null 2>&1");
  ASSERT_TRUE(WaitUntil([&] {
    return Server.Run("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") !=
           std::string::npos;
  })) << name
      << " did not take the screen";
}

std::string QuilletRun::WaitForWindow(const std::string& name) const {
  std::string id =
      Server.Run("timeout 10 xdotool search --sync --onlyvisible --name '^" + name + "$'");
  return id.substr(0, id.find('\n'));
}

std::string QuilletRun::XDo(const std::string& arguments) const {
  return Server.Run("xdotool " + arguments);
}

int QuilletRun::WaitForExit(int timeoutMs) {
  int status = 0;
  if (!WaitUntil([&] { return ::waitpid(FPid, &status, WNOHANG) != 0; }, timeoutMs)) return -1;
  FPid = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string QuilletRun::Geometry(const std::string& window) const {
  int x = -1, y = -1, w = -1, h = -1;
  std::sscanf(XDo("getwindowgeometry --shell " + window + " | tr '\\n' ' '").c_str(),
              "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &x, &y, &w, &h);
  return std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(w) + " " +
         std::to_string(h);
}

// import's text format gives "0,0: (r,g,b)  #RRGGBB  name".
std::string QuilletRun::PixelAt(int x, int y) const {
  std::string command = "import -window root -crop 1x1+";
  command += std::to_string(x) + "+" + std::to_string(y) + " -depth 8 txt:-";
  const std::string text = Server.Run(command);
  const auto hash = text.find('#', text.find(')'));
  return hash == std::string::npos ? text : text.substr(hash, 7);
}

void QuilletUnderWm::SetUp() {
  QuilletRun::SetUp();
  if (!HasFatalFailure() && !GetParam().empty()) StartWindowManager(GetParam());
}

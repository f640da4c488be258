#include "QuilletRun.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

std::string CommandOutput(const std::string& command, int& status) {
  FILE* run = ::popen((command + " 2>&1").c_str(), "r");
  std::string out;
  char buf[256];
  while (run && std::fgets(buf, sizeof buf, run)) out += buf;
  status = run ? WEXITSTATUS(::pclose(run)) : -1;
  return out;
}

void QuilletRun::SetUp() {
  ASSERT_TRUE(OnPath("Xvfb") && OnPath("xdotool")) << "tools/install-deps installs them";
  ASSERT_TRUE(Server.Start(24));
  std::filesystem::copy(QUILLET_PROGRAM_DIR, Folder.File("program"),
                        std::filesystem::copy_options::recursive);
}

void QuilletRun::TearDown() {
  if (FPid <= 0) return;
  ::kill(FPid, SIGKILL);
  ::waitpid(FPid, nullptr, 0);
  FPid = -1;
}

std::string QuilletRun::ProgramFile(const std::string& name) const {
  return Folder.Read("program/" + name);
}

void QuilletRun::SetProgramFile(const std::string& name, const std::string& bytes) const {
  Folder.Write("program/" + name, bytes);
}

void QuilletRun::Start(const std::string& arguments) {
  StartCommand(Folder.File("program/quillet") + " " + arguments);
}

void QuilletRun::StartCommand(const std::string& command) {
  FPid = Server.Spawn("cd / && exec " + command);
  ASSERT_GT(FPid, 0);
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
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  int status = 0;
  while (::waitpid(FPid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
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

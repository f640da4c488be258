#include "SocksProxyProcess.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

std::string Launcher() {
  return std::string(QUILLET_SOURCE_DIR) + "/tools/socks-proxy";
}

std::string Run(const std::string& command, int& exitCode) {
  std::string output;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) {
    exitCode = -1;
    return output;
  }
  char chunk[1024];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) output.append(chunk, n);
  const int status = ::pclose(pipe);
  exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return output;
}

std::string Trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  return s;
}

}  // namespace

std::string TSocksProxyProcess::MissingReason(const std::string& impl) {
  int code = 0;
  const std::string output = Run(Launcher() + " check --impl " + impl, code);
  // As root the launcher installs what is missing, so only an ordinary user skips.
  if (code == 3 && ::geteuid() != 0) return impl + " cannot run here: " + Trimmed(output);
  return {};
}

TSocksProxyProcess::TSocksProxyProcess(const std::string& impl, const std::string& userPass) {
  char dir[] = "/tmp/quillet-socks-XXXXXX";
  if (!::mkdtemp(dir)) return;
  FDir = dir;
  std::string command = Launcher() + " start --impl " + impl + " --dir " + FDir;
  if (!userPass.empty()) command += " --user '" + userPass + "'";
  int code = 0;
  FOutput = Trimmed(Run(command, code));
  // The port is the last line; anything before it is the installer talking.
  const std::string last = FOutput.substr(FOutput.find_last_of('\n') + 1);
  if (code == 0 && !last.empty() && last.find_first_not_of("0123456789") == std::string::npos)
    FPort = last;
}

TSocksProxyProcess::~TSocksProxyProcess() {
  if (FDir.empty()) return;
  int code = 0;
  Run(Launcher() + " stop --dir " + FDir, code);
  std::error_code ignored;
  std::filesystem::remove_all(FDir, ignored);
}

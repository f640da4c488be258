#include "DovecotServer.h"
#include "support/LoopbackSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::string Launcher() {
  return std::string(QUILLET_SOURCE_DIR) + "/tools/pop3-server";
}

// Single quotes keep every byte of an argument literal for the shell.
std::string Quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// A port that was free a moment ago; Dovecot binds it right after.
int FreeLoopbackPort() {
  int port = 0;
  const int fd = OpenLoopbackSocket(port, 0);
  if (fd < 0) throw std::runtime_error("no free loopback port");
  ::close(fd);
  return port;
}

std::string Run(const std::string& command, int* status = nullptr) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return output;
  char chunk[4096];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) output.append(chunk, n);
  const int rc = ::pclose(pipe);
  if (status) *status = rc;
  return output;
}

}  // namespace

TDovecotServer::TDovecotServer() {
  char dir[] = "/tmp/quillet-pop3-XXXXXX";
  if (!::mkdtemp(dir)) throw std::runtime_error("mkdtemp failed");
  FDir = dir;
}

TDovecotServer::~TDovecotServer() {
  Stop();
  std::error_code ignored;
  std::filesystem::remove_all(FDir, ignored);
}

bool TDovecotServer::Available() {
  return ::access("/usr/sbin/dovecot", X_OK) == 0 && ::access("/usr/lib/dovecot/pop3", X_OK) == 0;
}

bool TDovecotServer::Start(const std::vector<std::string>& users,
                           const std::vector<std::string>& mails, bool apop,
                           const std::string& tlsCert, const std::string& tlsKey) {
  // A port taken by someone else between our probe and Dovecot's bind: try another.
  for (int attempt = 0; attempt < 3; ++attempt) {
    FPort = FreeLoopbackPort();
    std::string command =
        Quote(Launcher()) + " start --dir " + Quote(FDir) + " --port " + std::to_string(FPort);
    for (const auto& user : users) command += " --user " + Quote(user);
    for (const auto& mail : mails) command += " --mail " + Quote(mail);
    if (apop) command += " --apop";
    if (!tlsCert.empty())
      command += " --tls-cert " + Quote(tlsCert) + " --tls-key " + Quote(tlsKey);
    int status = 0;
    const std::string output = Run(command + " 2>&1", &status);
    if (status == 0) return true;
    std::fprintf(stderr, "pop3-server start failed: %s\n", output.c_str());
  }
  return false;
}

void TDovecotServer::Stop() {
  Run(Quote(Launcher()) + " stop --dir " + Quote(FDir) + " 2>&1");
}

std::string TDovecotServer::Log() const {
  return ReadFile(FDir + "/dovecot.log");
}

std::vector<std::string> TDovecotServer::Remaining(const std::string& user) const {
  std::istringstream lines(
      Run(Quote(Launcher()) + " list --dir " + Quote(FDir) + " --user " + Quote(user)));
  std::vector<std::string> names;
  for (std::string line; std::getline(lines, line);) names.push_back(line);
  return names;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::string AsServed(const std::string& path) {
  const std::string raw = ReadFile(path);
  std::string out;
  out.reserve(raw.size() + raw.size() / 20);
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r')) out += '\r';
    out += raw[i];
  }
  return out;
}

std::string Pop3DataPath(const std::string& name) {
  return std::string(QUILLET_SOURCE_DIR) + "/tests/data/pop3/" + name;
}

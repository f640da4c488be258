#include "BenchMailboxes.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

std::string Run(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return out;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  ::pclose(pipe);
  return out;
}

const std::string kSource = QUILLET_SOURCE_DIR;

}  // namespace

std::string Message(int n, std::size_t size, bool base64) {
  std::string m = "From: bench@example.org\r\nTo: user@example.org\r\nSubject: message " +
                  std::to_string(n) + "\r\n";
  if (base64)
    m += "MIME-Version: 1.0\r\nContent-Type: application/octet-stream; name=\"data.bin\"\r\n"
         "Content-Transfer-Encoding: base64\r\n";
  m += "\r\n";
  static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::uint32_t x = 2463534242u + static_cast<std::uint32_t>(n);
  const std::size_t width = base64 ? 76 : 64;
  while (m.size() + width + 2 <= size) {
    for (std::size_t i = 0; i < width; ++i) {
      x ^= x << 13;
      x ^= x >> 17;
      x ^= x << 5;
      m += base64 ? kChars[x & 63] : static_cast<char>('a' + x % 26);
    }
    m += "\r\n";
  }
  return m;
}

std::string WriteMailboxes(const std::string& dir) {
  std::string mailArgs;
  for (const TMailbox& box : kMailboxes) {
    for (int n = 1; n <= box.count; ++n) {
      const std::string path = dir + "/" + box.user + "-" + std::to_string(n) + ".eml";
      std::ofstream(path, std::ios::binary) << Message(n, box.size, box.base64);
      mailArgs += std::string(" --mail ") + box.user + ":" + path;
    }
  }
  return mailArgs;
}

int FreePort() {
  const int fd = ::socket(2, 1, 0);  // AF_INET, SOCK_STREAM
  unsigned char addr[16] = {2, 0, 0, 0, 127, 0, 0, 1};
  socklen_t len = sizeof addr;
  ::bind(fd, reinterpret_cast<sockaddr*>(addr), sizeof addr);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(addr), &len);
  ::close(fd);
  return addr[2] << 8 | addr[3];
}

bool StartServer(const std::string& dir, int port, const std::string& mailArgs,
                 const std::string& tlsArgs) {
  const std::string command = kSource + "/tools/pop3-server start --dir " + dir +
                              " --user small:pw --user large:pw" + mailArgs + tlsArgs + " --port " +
                              std::to_string(port) + " >&2";
  return std::system(command.c_str()) == 0;
}

void StopServer(const std::string& dir) {
  Run(kSource + "/tools/pop3-server stop --dir " + dir);
  std::filesystem::remove_all(dir);
}

TResult RunPython(const std::string& kind, int port, const TMailbox& box,
                  const std::string& caFile) {
  const std::string script = kSource + "/bench/pop3_bench_clients.py";
  const std::string out = Run("python3 '" + script + "' " + kind + " " + std::to_string(port) +
                              " " + box.user + " pw " + std::to_string(box.count) + " " + caFile);
  TResult r;
  if (std::sscanf(out.c_str(), "%lf %lld", &r.seconds, &r.bytes) != 2)
    std::fprintf(stderr, "%s client failed: %s\n", kind.c_str(), out.c_str());
  return r;
}

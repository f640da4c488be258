// Speed of the message analysis against ripmime extracting the same messages, in one run.
// 200 spool files, each with one base64 attachment named .exe, so that the content search
// reads every decoded byte (twice: nothing holds "wsock", so "winsock" is looked for too).
//
//   analysis_bench [--rounds N]
//
// Each side's best round counts; MB/s are decoded megabytes (10^6 bytes) per second.

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "app/SpoolAnalysis.h"

extern char** environ;

namespace {

constexpr int kMessages = 200;
// 57 bytes make one 76-character base64 line.
constexpr std::size_t kLinesPerAttachment = 9432;
constexpr std::size_t kAttachmentBytes = kLinesPerAttachment * 57;  // 107.5 MB in all

std::string Base64Body(std::uint32_t seed) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string body;
  body.reserve(kLinesPerAttachment * 78);
  std::uint32_t x = 2463534242u ^ seed;
  for (std::size_t line = 0; line < kLinesPerAttachment; ++line) {
    for (int group = 0; group < 19; ++group) {
      x ^= x << 13;
      x ^= x >> 17;
      x ^= x << 5;
      for (int k = 3; k >= 0; --k) body += kAlphabet[(x >> (6 * k)) & 63];
    }
    body += "\r\n";
  }
  return body;
}

void WriteMessage(int n) {
  std::ofstream out("Data0000/" + std::to_string(n) + ".msg", std::ios::binary);
  out << "From: Bench <bench@example.org>\r\nTo: user@example.org\r\nSubject: tool " << n
      << "\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"b1\"\r\n\r\n"
      << "--b1\r\nContent-Type: text/plain\r\n\r\nSee the attachment.\r\n\r\n"
      << "--b1\r\nContent-Type: application/octet-stream; name=\"tool" << n << ".exe\"\r\n"
      << "Content-Transfer-Encoding: base64\r\n"
      << "Content-Disposition: attachment; filename=\"tool" << n << ".exe\"\r\n\r\n"
      << Base64Body(static_cast<std::uint32_t>(n)) << "\r\n--b1--\r\n";
}

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void RunAnalysis() {
  TSpoolAnalysis analysis;
  int warnings = 0;
  analysis.OnWarn = [&](const TWarning&) {
    ++warnings;
    return 2;  // "Continue scanning"
  };
  for (int n = 1; n <= kMessages; ++n)
    analysis.CheckSpoolFile(std::to_string(n) + ".msg", [](const std::string&) {});
  if (warnings != kMessages) {
    std::fprintf(stderr, "analysis_bench: %d warnings, expected %d\n", warnings, kMessages);
    std::exit(1);
  }
}

void RunRipmime() {
  std::uintmax_t extracted = 0;
  for (int n = 1; n <= kMessages; ++n) {
    const std::string in = "Data0000/" + std::to_string(n) + ".msg";
    const std::string dir = "rip/" + std::to_string(n);
    std::filesystem::create_directories(dir);
    const char* argv[] = {"ripmime", "-i", in.c_str(), "-d", dir.c_str(), nullptr};
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, "ripmime", nullptr, nullptr, const_cast<char**>(argv), environ) != 0 ||
        waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "analysis_bench: ripmime failed on %s\n", in.c_str());
      std::exit(1);
    }
    const std::string exe = dir + "/tool" + std::to_string(n) + ".exe";
    extracted += std::filesystem::exists(exe) ? std::filesystem::file_size(exe) : 0;
  }
  std::filesystem::remove_all("rip");
  if (extracted != kMessages * kAttachmentBytes) {
    std::fprintf(stderr, "analysis_bench: ripmime extracted %ju bytes\n", extracted);
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 3;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::max(1, std::atoi(argv[i + 1]));

  char tmpl[] = "/tmp/quillet-analysis-bench-XXXXXX";
  if (!::mkdtemp(tmpl) || ::chdir(tmpl) != 0) return 1;
  std::filesystem::create_directories("Data0000");
  std::filesystem::create_directories("Data0001");
  for (int n = 1; n <= kMessages; ++n) WriteMessage(n);

  double analysis = 1e30, ripmime = 1e30;
  for (int round = 0; round < rounds; ++round) {
    analysis = std::min(analysis, Seconds(RunAnalysis));
    ripmime = std::min(ripmime, Seconds(RunRipmime));
  }
  const double megabytes = kMessages * static_cast<double>(kAttachmentBytes) / 1e6;
  std::printf("%d spool files, %.1f MB decoded, best of %d rounds\n", kMessages, megabytes, rounds);
  std::printf("analysis: %8.1f MB/s  (%.3f s)\n", megabytes / analysis, analysis);
  std::printf("ripmime:  %8.1f MB/s  (%.3f s)\n", megabytes / ripmime, ripmime);
  std::printf("ratio:    %8.2f x ripmime\n", ripmime / analysis);
  std::filesystem::remove_all(tmpl);
  return 0;
}

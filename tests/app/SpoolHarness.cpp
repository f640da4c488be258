#include "SpoolHarness.h"

#include <stdlib.h>

#include <fstream>

namespace fs = std::filesystem;

void SpoolHarness::SetUp() {
  FOldDir = fs::current_path();
  std::string root = fs::temp_directory_path() / "quillet-analysis-XXXXXX";
  ASSERT_NE(::mkdtemp(root.data()), nullptr);
  FRoot = root;
  fs::create_directories(FRoot / "Data0000");
  fs::create_directories(FRoot / "Data0001");
  fs::current_path(FRoot);
  Analysis.OnWarn = [this](const TWarning& w) {
    Log.push_back("warn " + w.From + "|" + w.Subject + "|" + w.Name + "|" + w.Line1 + "|" +
                  w.Line2);
    if (Answers.empty()) return 2;
    const int answer = Answers.front();
    Answers.pop_front();
    return answer;
  };
}

void SpoolHarness::TearDown() {
  if (fs::exists("Data0001")) {
    EXPECT_TRUE(fs::is_empty("Data0001"));
  }
  fs::current_path(FOldDir);
  fs::remove_all(FRoot);
}

void SpoolHarness::WriteSpool(int n, const std::vector<TLines>& blocks) {
  std::ofstream out("Data0000/" + std::to_string(n) + ".msg", std::ios::binary);
  for (const TLines& block : blocks)
    for (const std::string& line : block) out << line << "\r\n";
}

void SpoolHarness::Check(int n) {
  Analysis.CheckSpoolFile(std::to_string(n) + ".msg",
                          [this](const std::string& name) { Log.push_back("delete " + name); });
}

TLines SpoolHarness::Base64Lines(const std::string& bytes) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 2]);
    for (std::size_t k = 0; k < 4; ++k)
      text += i + k <= bytes.size() ? kAlphabet[(group >> (18 - 6 * k)) & 63] : '=';
  }
  TLines lines;
  for (std::size_t i = 0; i < text.size(); i += 76) lines.push_back(text.substr(i, 76));
  return lines;
}

TLines SpoolHarness::Part(const std::string& nameLine, const std::string& bytes,
                          bool emptyLineAfter) {
  TLines lines = {"Content-Type: application/octet-stream;", nameLine,
                  "Content-Transfer-Encoding: base64", ""};
  for (const std::string& line : Base64Lines(bytes)) lines.push_back(line);
  if (emptyLineAfter) lines.push_back("");
  return lines;
}

#include "SpoolHarness.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "forms/FileUtils.h"

void SpoolHarness::SetUp() {
  char tmpl[] = "/tmp/quillet-analysis-XXXXXX";
  ASSERT_NE(::mkdtemp(tmpl), nullptr);
  Root = tmpl;
  FOldDir = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(Root));
  ASSERT_EQ(::mkdir("Data0000", 0777), 0);
  ASSERT_EQ(::mkdir("Data0001", 0777), 0);
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
  if (DirectoryExists("Data0001")) {
    EXPECT_EQ(Data0001Files(), std::vector<std::string>{});
  }
  SetCurrentDir(FOldDir);
  std::system(("rm -rf " + Root).c_str());
}

void SpoolHarness::WriteSpool(int n, const std::vector<std::string>& lines) const {
  std::ofstream out("Data0000/" + std::to_string(n) + ".msg", std::ios::binary);
  for (const std::string& line : lines) out << line << "\r\n";
}

void SpoolHarness::Check(int n) {
  Analysis.CheckSpoolFile(std::to_string(n) + ".msg",
                          [this](const std::string& name) { Log.push_back("delete " + name); });
}

std::vector<std::string> SpoolHarness::Data0001Files() const {
  std::vector<std::string> names;
  DIR* dir = ::opendir("Data0001");
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir))
    if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
      names.push_back(entry->d_name);
  ::closedir(dir);
  return names;
}

std::vector<std::string> SpoolHarness::Base64Lines(const std::string& bytes) {
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
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < text.size(); i += 76) lines.push_back(text.substr(i, 76));
  return lines;
}

std::vector<std::string> SpoolHarness::Part(const std::string& nameLine, const std::string& bytes,
                                            bool emptyLineAfter) {
  std::vector<std::string> lines = {"Content-Type: application/octet-stream;", nameLine,
                                    "Content-Transfer-Encoding: base64", ""};
  for (const std::string& line : Base64Lines(bytes)) lines.push_back(line);
  if (emptyLineAfter) lines.push_back("");
  return lines;
}

std::vector<std::string> SpoolHarness::Message(
    const std::vector<std::vector<std::string>>& blocks) {
  std::vector<std::string> lines;
  for (const auto& block : blocks) lines.insert(lines.end(), block.begin(), block.end());
  return lines;
}

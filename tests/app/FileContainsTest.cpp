#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "app/FileContains.h"

namespace {

class FileContainsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/quillet-contains-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    Path = std::string(tmpl) + "/scratch";
  }
  void TearDown() override { std::system(("rm -rf " + Path.substr(0, Path.rfind('/'))).c_str()); }
  bool Holds(const std::string& bytes, const std::string& pattern) {
    std::ofstream(Path, std::ios::binary) << bytes;
    return FileContains(Path, pattern);
  }
  std::string Path;
};

TEST_F(FileContainsTest, MatchesInAnyCaseAndRestartsAfterTheByteThatBrokeTheMatch) {
  const struct {
    std::string bytes;
    const char* pattern;
    bool found;
  } cases[] = {
      {"MZ\x90WSOCK32.DLL", "wsock", true},
      {"uses WinSock 2", "winsock", true},
      {"wwsock", "wsock", false},  // the second w is not compared again
      {"wwinsock", "winsock", false},
      {"wswsock", "wsock", false},
      {"wwsock wsock", "wsock", true},
      {"wsoc", "wsock", false},
      {"", "wsock", false},
      {std::string("ws\0ock", 6), "wsock", false},
  };
  for (const auto& c : cases) EXPECT_EQ(Holds(c.bytes, c.pattern), c.found) << c.bytes;
}

TEST_F(FileContainsTest, AMatchAcrossReadBlocksIsFound) {
  for (std::size_t lead : {65533u, 65536u, 200000u})
    EXPECT_TRUE(Holds(std::string(lead, 'x') + "WSOCK", "wsock")) << lead;
}

}  // namespace

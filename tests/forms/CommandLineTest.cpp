// The program's own path and the count of its arguments.

#include <gtest/gtest.h>

#include "forms/CommandLine.h"
#include "forms/FileUtils.h"

TEST(CommandLine, EmptyArgumentsDoNotCount) {
  const struct {
    std::vector<std::string> arguments;
    int count;
  } cases[] = {
      {{}, 0}, {{""}, 0}, {{"x"}, 1}, {{"", "x", ""}, 1}, {{"two words"}, 1}, {{"a", "b"}, 2},
  };
  for (const auto& c : cases) {
    SetArguments(c.arguments);
    EXPECT_EQ(ParamCount(), c.count) << c.arguments.size() << " arguments";
  }
  const char* argv[] = {"/opt/quillet/quillet", "", "settings"};
  SetCommandLine(3, argv);
  EXPECT_EQ(Arguments(), (std::vector<std::string>{"", "settings"}));
  EXPECT_EQ(ParamCount(), 1);
  SetArguments({});
}

TEST(CommandLine, TheProgramsFolderIsItsPathUpToTheLastSlash) {
  const struct {
    std::string path, folder;
  } cases[] = {
      {"/home/me/quillet/quillet", "/home/me/quillet"},
      {"/quillet", "/"},
      {"quillet", ""},
      {"a/b/", "a/b"},
  };
  for (const auto& c : cases) EXPECT_EQ(ExtractFileDir(c.path), c.folder) << c.path;
  // The test program itself stands where the build put it.
  std::string exe = ExeName();
  EXPECT_EQ(exe.substr(exe.rfind('/') + 1), "forms_tests");
  EXPECT_TRUE(FileExists(exe));
}

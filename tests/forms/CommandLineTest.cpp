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

// Options and their values are no arguments; a lone "--" ends the options.
TEST(CommandLine, OptionsAndTheirValuesDoNotCount) {
  SetOptionsWithValue({"answer", "screenshots"});
  const struct {
    std::vector<std::string> arguments;
    int count;
    std::vector<std::string> options;  // name=value, or the name alone when it has none
  } cases[] = {
      {{"--answer", "delete"}, 0, {"answer=delete"}},
      {{"--screenshots", "x", "--answer=continue"}, 0, {"screenshots=x", "answer=continue"}},
      {{"--answer=delete", "x"}, 1, {"answer=delete"}},
      {{"--verbose", "x"}, 1, {"verbose"}},
      {{"--answer"}, 0, {"answer"}},
      {{"-x"}, 1, {}},
      {{"--", "--answer", "delete"}, 2, {}},
      {{"--answer", "--", "x"}, 1, {"answer=--"}},
  };
  for (const auto& c : cases) {
    SetArguments(c.arguments);
    EXPECT_EQ(ParamCount(), c.count) << c.arguments[0];
    std::vector<std::string> options;
    for (const TOption& o : Options())
      options.push_back(o.HasValue ? o.Name + "=" + o.Value : o.Name);
    EXPECT_EQ(options, c.options) << c.arguments[0];
  }
  SetOptionsWithValue({});
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

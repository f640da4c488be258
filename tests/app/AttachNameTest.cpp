#include <gtest/gtest.h>

#include <vector>

#include "app/AttachName.h"

namespace {

TEST(GetAttachName, FindsTheQuotedNameLowerCasedWithoutSpaces) {
  const struct {
    const char* line;
    const char* name;
  } cases[] = {
      {"  name = \"My Program.exe\"", "myprogram.exe"},
      {"Content-Disposition: attachment; filename=\"a.zip\"; name=\"b.exe\"", "a.zip"},
      {"name=\"a\tb.exe\"", "a\tb.exe"},  // tabs stay
      {"name=\"\xC4.exe\"", "\xC4.exe"},  // bytes above 127 are not lower-cased
      {"name=x.exe", ""},
      {"name=\"\"", ""},
      {"name=\"truncated.exe", "truncated.exe"},  // no closing quote: the rest of the line
      {"name=\"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(GetAttachName(c.line), c.name) << c.line;
}

TEST(ScratchFileName, KeepsAUsableNameAndReplacesOneTheFolderCannotHold) {
  const std::string fixed = ScratchFileName("?");
  EXPECT_EQ(fixed.find_first_of("/\\"), std::string::npos);
  EXPECT_NE(fixed, "?");
  for (const std::string& name :
       std::vector<std::string>{"setup.exe", "a..exe", ".exe", "\xC4.exe", std::string(255, 'a')})
    EXPECT_EQ(ScratchFileName(name), name) << name;
  for (const std::string& name : std::vector<std::string>{
           "a?b.exe", "a*.exe", "a<b>.exe", "a|b.exe", "c:x.exe", "a\"b", "..\\..\\x.exe",
           "../x.exe", "/etc/x.exe", ".", "..", "a\tb.exe", std::string(256, 'a')})
    EXPECT_EQ(ScratchFileName(name), fixed) << name;
}

}  // namespace

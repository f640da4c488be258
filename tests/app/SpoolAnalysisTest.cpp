#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "SpoolHarness.h"
#include "forms/FileErrors.h"
#include "forms/FileUtils.h"

namespace {

using SpoolAnalysisTest = SpoolHarness;

const std::string kVirus = "MZ\x90 import WSOCK32.DLL";

std::string Warned(const std::string& from, const std::string& name, const std::string& verdict) {
  return "warn " + from + "|s|" + name + "|" + verdict;
}

// The first body runs straight into the next boundary, with no empty line before it.
TEST_F(SpoolAnalysisTest, EachWarningHasTheMessagesSenderAndOnlyDeletionCallsTheDeletion) {
  WriteSpool(3, {{"From: Alice <a@b>", "Subject: s", "", "--b"},
                 Part("Content-Type: x; name=\"one.exe\"", kVirus, false),
                 {"--b"},
                 Part("Content-Type: x; name=\"two.exe\"", "clean"),
                 Part("name=\"three.exe\"", "x"),
                 {"--b--"}});
  Answers = {1, 2, 1};
  Check(3);
  EXPECT_EQ(Log, (TLines{Warned("Alice <a@b>", "one.exe", kExeInfected), "delete 3.msg",
                         Warned("Alice <a@b>", "two.exe", kExeClean),
                         Warned("Alice <a@b>", "three.exe", kExeClean), "delete 3.msg"}));
}

// Every line the loop reads is tested, bodies included; the lines an attachment's handling
// reads itself are not.
TEST_F(SpoolAnalysisTest, LayoutsDecideWhichLinesAreTestedAndDecoded) {
  const std::string exe = "Content-Type: x; name=\"v.exe\"";
  TLines longLine = Part(exe, std::string(150, 'x') + kVirus);
  std::string joined;
  for (std::size_t i = 4; i + 1 < longLine.size(); ++i) joined += longLine[i];
  const struct {
    const char* what;
    TLines lines;
    TLines log;
  } cases[] = {
      {"body right after the name line's empty line",
       {exe, "", SpoolHarness::Base64Lines(kVirus)[0], ""},
       {Warned("a", "v.exe", kExeInfected)}},
      {"one long body line", {exe, "", joined, ""}, {Warned("a", "v.exe", kExeInfected)}},
      {"file ends on the name line", {exe}, {Warned("a", "v.exe", kExeClean)}},
      {"file ends in the header block", {exe, "X: y"}, {Warned("a", "v.exe", kExeClean)}},
      {"file ends in the empty lines", {exe, "", ""}, {Warned("a", "v.exe", kExeClean)}},
      {"Ctrl-Z ends the readable data", {"\x1a", exe}, {}},
      {"body starts at a boundary",
       {"name=\"a.exe\"", "", "--b", exe, "", "TVo=", ""},
       {Warned("a", "a.exe", kExeClean), Warned("a", "v.exe", kExeClean)}},
      {"an HTML name= line takes the next block as its body",
       {"<a name=\"top\">", "<p>passed over</p>", "", "name=\"hidden.exe\"", "", exe, "", "TVo="},
       {Warned("a", "v.exe", kExeClean)}},
      {"a header block never runs over a boundary",
       {"<a name=\"top\">", "<p>no empty line follows</p>", "--b", exe, "", "TVo=", ""},
       {Warned("a", "v.exe", kExeClean)}},
      {"a body From: line changes the sender for later attachments",
       {"name=\"a.exe\"", "", "TVo=", "", "From: mallory", "> From: quoted", exe, "", "TVo="},
       {Warned("a", "a.exe", kExeClean), Warned("mallory", "v.exe", kExeClean)}},
  };
  int n = 0;
  for (const auto& c : cases) {
    WriteSpool(++n, {{"From: a", "Subject: s", ""}, c.lines});
    Log.clear();
    Check(n);
    EXPECT_EQ(Log, c.log) << c.what;
  }
}

TEST_F(SpoolAnalysisTest, NamesTheFolderCannotHoldAreJudgedAsExtractedInsideData0001) {
  const std::string doubleExe =
      "This is an executable file and Quillet thinks it contains a virus!|Quillet recommends "
      "to delete this message.";
  const struct {
    std::string name;
    std::string verdict;
  } cases[] = {{"a?b.exe", kExeInfected},
               {std::string(296, 'n') + ".exe", kExeInfected},
               {"c:evil.exe", kExeInfected},
               {"../evil.exe", doubleExe},
               {"..\\evil.exe", doubleExe}};
  // A scratch file placed outside would replace this one, then delete it.
  std::ofstream("evil.exe") << "keep";
  int n = 0;
  for (const auto& c : cases) WriteSpool(++n, {Part("name=\"" + c.name + "\"", kVirus)});
  for (int i = 1; i <= n; ++i) Check(i);
  ASSERT_EQ(Log.size(), std::size(cases));
  for (std::size_t i = 0; i < Log.size(); ++i)
    EXPECT_EQ(Log[i], "warn ||" + cases[i].name + "|" + cases[i].verdict);
  std::ifstream kept("evil.exe");
  std::string text;
  kept >> text;
  EXPECT_EQ(text, "keep");
}

TEST_F(SpoolAnalysisTest, AfterStoppingNothingIsExaminedShownOrDeleted) {
  WriteSpool(1, {Part("name=\"one.exe\"", "x"), Part("name=\"two.exe\"", "x")});
  bool stopped = false;
  Analysis.Stopped = [&] { return stopped; };
  Analysis.OnWarn = [&](const TWarning& w) {
    Log.push_back("warn " + w.Name);
    stopped = true;  // the program closed while the warning was up
    return 1;
  };
  Check(1);
  EXPECT_EQ(Log, TLines{"warn one.exe"});
  Check(1);
  EXPECT_EQ(Log, TLines{"warn one.exe"});
}

TEST_F(SpoolAnalysisTest, FilesThatCannotBeOpenedOrCreatedEndTheAnalysisWithTheirError) {
  WriteSpool(1, {Part("name=\"x.exe\"", "")});
  ASSERT_EQ(::rmdir("Data0001"), 0);
  try {
    Check(1);
    ADD_FAILURE() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_STREQ(e.what(), "Cannot create file Data0001/x.exe");
  }
  try {
    Check(2);
    ADD_FAILURE() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "File not found");
  }
  EXPECT_EQ(Log, TLines{});
}

}  // namespace

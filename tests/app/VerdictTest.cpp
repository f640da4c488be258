#include "SpoolHarness.h"
#include "app/AttachName.h"
#include "app/Verdict.h"

namespace {

const std::string kClean = kExeClean;
const std::string kInfected = kExeInfected;
const std::string kDoubleOffice =
    "This is a document for MS Office and Quillet thinks it contains a virus.|" + kRecommend;
const std::string kDoubleRegistry =
    "This is a registry file and Quillet thinks it contains a virus!|" + kRecommend;

using VerdictTest = SpoolHarness;

// Every row of the extension table and of both verdict tables, through the whole
// analysis: the name as the header writes it, the decoded content, what the warning says.
TEST_F(VerdictTest, NameAndContentGiveTheTablesVerdicts) {
  const struct {
    const char* header;  // the value of name="..."
    const char* last;
    const char* inner;
    std::string content;
    std::string shown;  // "<name>|<line 1>|<line 2>", empty: no warning
  } cases[] = {
      {"readme", "", ".", "", ""},
      {"setup.exe", ".exe", ".exe", "plain", "setup.exe|" + kClean},
      {"setup.", ".", ".", "", ""},
      {"photo.jpg.exe", ".exe", ".jpg", "", "photo.jpg.exe|" + kDoubleExe},
      {"a.exe.exe", ".exe", ".exe", "MZ WSOCK32.DLL", "a.exe.exe|" + kInfected},
      {"game1.2.exe", ".exe", ".2", "", "game1.2.exe|" + kDoubleExe},
      {"a.b.c.vbs", ".vbs", ".b", "", "a.b.c.vbs|" + kDoubleExe},
      {"a..exe", ".exe", ".", "", "a..exe|" + kDoubleExe},
      {".exe", ".exe", ".exe", "uses WinSock", ".exe|" + kInfected},
      {"Setup.EXE", ".exe", ".exe", "wwsock", "setup.exe|" + kClean},
      {"My Program.com", ".com", ".com", "", "myprogram.com|" + kClean},
      {"x.bat", ".bat", ".bat", "", "x.bat|" + kClean},
      {"x.pif", ".pif", ".pif", "", "x.pif|" + kClean},
      {"x.vbs", ".vbs", ".vbs", "", "x.vbs|" + kScript},
      {"x.scr", ".scr", ".scr", "", "x.scr|" + kScript},
      {"x.doc", ".doc", ".doc", "", "x.doc|" + kOffice},
      {"x.xls", ".xls", ".xls", "", "x.xls|" + kOffice},
      {"x.reg", ".reg", ".reg", "", "x.reg|" + kRegistry},
      {"x.txt.scr", ".scr", ".txt", "", "x.txt.scr|" + kDoubleExe},
      {"x.txt.pif", ".pif", ".txt", "", "x.txt.pif|" + kDoubleExe},
      {"x.exe.doc", ".doc", ".exe", "", "x.exe.doc|" + kDoubleOffice},
      {"x.exe.xls", ".xls", ".exe", "", "x.exe.xls|" + kDoubleOffice},
      {"x.txt.reg", ".reg", ".txt", "", "x.txt.reg|" + kDoubleRegistry},
      {"x.zip", ".zip", ".zip", "PK\x03\x04 WSOCK", ""},
      {"notes.txt", ".txt", ".txt", "winsock", ""},
      {"x.exe.zip", ".zip", ".exe", "", ""},
      {"c:x.exe", ".exe", ".exe", "", "c:x.exe|" + kClean},
      {"x.exe\\readme", "", ".exe\\readme", "", ""},
      // The search restarts after the byte that broke a partial match; a match may straddle
      // two reads of the file.
      {"a.exe", ".exe", ".exe", "wwinsock wswsock wsoc", "a.exe|" + kClean},
      {"a.exe", ".exe", ".exe", "wwsock wsock", "a.exe|" + kInfected},
      {"a.exe", ".exe", ".exe", std::string(65533, 'x') + "WsOcK", "a.exe|" + kInfected},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string name = GetAttachName(std::string("name=\"") + c.header + "\"");
    EXPECT_EQ(GetLastExt(name), c.last) << c.header;
    EXPECT_EQ(GetInnerExt(name), c.inner) << c.header;
    WriteSpool(++n, {{"From: a@b", "Subject: s", ""},
                     Part(std::string("\tname=\"") + c.header + "\"", c.content)});
    Log.clear();
    Check(n);
    EXPECT_EQ(Log, c.shown.empty() ? std::vector<std::string>{}
                                   : std::vector<std::string>{"warn a@b|s|" + c.shown})
        << c.header;
  }
}

}  // namespace

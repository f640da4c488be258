// The installed program checks a real mailbox (Dovecot, through tools/pop3-server) holding
// three messages of the demo mailbox: a clean one, a double extension and a script. On an X
// server, with no window manager and under one, the user deletes the first warning's
// message with a click and continues the second with Enter; without a display the program
// runs the same check by itself and writes its transcript.

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "DovecotServer.h"
#include "QuilletRun.h"

namespace {

const std::vector<std::string> kMails = {"01-lunch-plain.eml", "08-invoice-double.eml",
                                         "09-parcel-vbs.eml"};

// The mailbox of the account "demo" (password "pw", scrambled "qx"), and the program's
// settings for it.
class Mailbox {
 public:
  bool Start(const TTempFolder& folder) {
    std::vector<std::string> mails;
    for (const std::string& name : kMails) mails.push_back("demo:" + Path(name));
    if (!Server.Start({"demo:pw"}, mails)) return false;
    folder.Write("program/Tessel.dat", "127.0.0.1\r\n" + Server.Port() + "\r\ndemo\r\nqx\r\n");
    return true;
  }
  static std::string Path(const std::string& name) {
    return std::string(QUILLET_SOURCE_DIR) + "/assets/demo/" + name;
  }
  TDovecotServer Server;
};

// Pixels of the windows, from their top-left corner.
constexpr int kTitleX = 300, kTitleY = 12;           // on the main window's title strip
constexpr int kDelFillX = 16, kDelFillY = 210;       // inside qDel, left of its caption
constexpr int kDelCentreX = 130, kDelCentreY = 210;  // qDel's middle

struct TPoint2 {
  int x = 0, y = 0;
};
TPoint2 Corner(const std::string& geometry) {
  TPoint2 p;
  std::istringstream(geometry) >> p.x >> p.y;
  return p;
}

TEST_P(QuilletUnderWm, ClickDeletesEnterContinuesTheTitleDragsAndTheButtonLightsUp) {
  Mailbox mailbox;
  ASSERT_TRUE(mailbox.Start(Folder)) << "no Dovecot";
  Start("");
  const std::string main = WaitForWindow("Quillet");
  ASSERT_FALSE(main.empty()) << "no main window";
  // 392 x 100 in the middle of the 1024 x 768 screen, without a frame of the manager's.
  EXPECT_EQ(Geometry(main), "316 334 392 100");
  EXPECT_NE(Server.Run("xwininfo -id " + main).find("Border width: 0"), std::string::npos);
  if (!GetParam().empty()) {
    EXPECT_NE(Server.Run("xprop -id " + main + " _NET_FRAME_EXTENTS").find("= 0, 0, 0, 0"),
              std::string::npos);
  }

  const std::string warn = WaitForWindow("Warning!");
  ASSERT_FALSE(warn.empty()) << "no warning for the double extension";
  const TPoint2 w = Corner(Geometry(warn));
  EXPECT_EQ(PixelAt(w.x + kDelFillX, w.y + kDelFillY), "#004000");
  XDo("mousemove --sync " + std::to_string(w.x + kDelFillX) + " " +
      std::to_string(w.y + kDelFillY));
  EXPECT_TRUE(WaitUntil([&] { return PixelAt(w.x + kDelFillX, w.y + kDelFillY) == "#00FF00"; }))
      << "the hover button did not turn lime";
  // The warning window is shown again for the script: hidden first, then mapped anew. xev
  // reports both; a property set on the window tells when it has begun to listen.
  const pid_t watcher = Server.Spawn(
      "exec xev -id " + warn + " -event structure -event property > " + Folder.File("warn-events"));
  ASSERT_TRUE(WaitUntil([&] {
    Server.Run("xprop -id " + warn + " -f QUILLET_TEST 8s -set QUILLET_TEST ready");
    return Folder.Read("warn-events").find("PropertyNotify") != std::string::npos;
  }));
  XDo("mousemove --sync " + std::to_string(w.x + kDelCentreX) + " " +
      std::to_string(w.y + kDelCentreY) + " click 1");
  const bool shownAgain = WaitUntil([&] {
    const std::string log = Folder.Read("warn-events");
    const auto unmap = log.find("UnmapNotify");
    return unmap != std::string::npos && log.find("MapNotify", unmap + 11) != std::string::npos;
  });
  ::kill(watcher, SIGTERM);
  ::waitpid(watcher, nullptr, 0);
  ASSERT_TRUE(shownAgain) << "no second warning";
  XDo("key Return");

  // The deletion takes effect with the QUIT after "Checking finished.".
  EXPECT_TRUE(WaitUntil([&] {
    return mailbox.Server.Remaining("demo") ==
           std::vector<std::string>{"01-lunch-plain.eml", "09-parcel-vbs.eml"};
  })) << "left on the server: "
      << mailbox.Server.Remaining("demo").size();

  // The press must have reached the program before the pointer moves on, or it finds the
  // button up (or the pointer already moved) and there is no drag to see; such a try
  // leaves the window where it stood and is made again.
  const TPoint2 m = Corner(Geometry(main));
  const std::string drag =
      "mousemove --sync " + std::to_string(m.x + kTitleX) + " " + std::to_string(m.y + kTitleY) +
      " mousedown 1 sleep 0.1 mousemove --sync " + std::to_string(m.x + kTitleX + 50) + " " +
      std::to_string(m.y + kTitleY + 30) + " mouseup 1";
  EXPECT_TRUE(WaitUntil([&] {
    XDo(drag);
    return WaitUntil([&] { return Geometry(main) != "316 334 392 100"; }, 1000);
  }));
  EXPECT_EQ(Geometry(main), "366 364 392 100");
  XDo("key Escape");
  EXPECT_EQ(WaitForExit(), 0);
}

}  // namespace

namespace {

std::vector<std::string> WarningLines(const std::string& from, const std::string& subject,
                                      const std::string& name, const std::string& line1,
                                      const std::string& line2) {
  return {"[Warning!]",
          "  CLabel1: Warning!",
          "  l1: From:",
          "  l2: Subject:",
          "  l3: Attached file:",
          "  lFrom: " + from,
          "  lSubj: " + subject,
          "  lName: " + name,
          "  qDel: Delete & continue scanning",
          "  qCon: Continue scanning",
          "  Label1: Checking results",
          "  ll1: " + line1,
          "  ll2: " + line2,
          "  answer: delete",
          "  lInfo: Deleting the message...",
          "  lInfo: Continue checking..."};
}

TEST_F(QuilletRun, WithoutADisplayTheCheckRunsByItselfAndSaysWhatItsWindowsShow) {
  Mailbox mailbox;
  ASSERT_TRUE(mailbox.Start(Folder)) << "no Dovecot";
  int status = -1;
  // The transcript is standard output; a sanitizer's or valgrind's report goes to stderr.
  const std::string out =
      CommandOutput("env -u DISPLAY timeout 30 " + ProgramCommand() +
                        " --answer delete --screenshots '" + Folder.File("shots") + "' </dev/null",
                    status, false);
  std::vector<std::string> expected = {"[Quillet]",
                                       "  CLabel1: Quillet 1.1",
                                       "  lInfo: ...",
                                       "  lInfo: Connecting to your mailbox...",
                                       "  lInfo: Logging in...",
                                       "  lInfo: Checking your mail... Please wait."};
  for (std::size_t n = 1; n <= kMails.size(); ++n) {
    std::string line = "  download: message ";
    line += std::to_string(n) + " of 3, ";
    line += std::to_string(AsServed(Mailbox::Path(kMails[n - 1])).size()) + " bytes";
    expected.push_back(line);
  }
  for (const auto& lines :
       {WarningLines("\"Billing Department\" <billing@example.com>", "Your unpaid invoice",
                     "invoice.pdf.exe",
                     "This is an executable file and Quillet thinks it contains a virus!",
                     "Quillet recommends to delete this message."),
        WarningLines("\"Parcel Service\" <noreply@parcels.example.com>",
                     "Your parcel could not be delivered", "tracking.vbs",
                     "This is a script file. This scripts-language is often used for viruses "
                     "writing.",
                     "Quillet recommends to delete this message.")})
    expected.insert(expected.end(), lines.begin(), lines.end());
  expected.push_back("  lInfo: Checking finished.");
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(mailbox.Server.Remaining("demo"), std::vector<std::string>{"01-lunch-plain.eml"});
  std::vector<std::string> shots;
  for (const auto& entry : std::filesystem::directory_iterator(Folder.File("shots")))
    shots.push_back(entry.path().filename());
  std::sort(shots.begin(), shots.end());
  EXPECT_EQ(shots, (std::vector<std::string>{"01-fMain.png", "02-fWarn.png", "03-fWarn.png",
                                             "04-fMain.png"}));
}

}  // namespace

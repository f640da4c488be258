// The fault matrix of the whole mail check: one row per fault, each a whole check against
// the scripted mailbox with the user's answers. Every row must end with the user told what
// happened (the log, compared whole), the server given exactly the commands listed (so no
// DELE the user did not choose, and no QUIT after one), nothing left in Data0001, the
// program idle while the user looks at a window, gone at once when closed, and its peak
// resident size under 64 MB. A crash or a hang fails the row by itself.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#endif

#include "CheckHarness.h"
#include "app/Main.h"
#include "app/SpoolFiles.h"
#include "platform/MessageLoop.h"
#include "support/ReadOnlyFolder.h"

namespace {

using FaultMatrix = CheckHarness;

const std::string kExe = "a.exe";
const std::string kVirus = "This is an executable file. Quillet thinks it contains a virus.";
const std::vector<std::string> kTwoMails = {CheckHarness::Mail("one", {kExe}),
                                            CheckHarness::Mail("two", {kExe})};
const TLines kLoggingIn = {"lInfo Connecting to your mailbox...", "lInfo Logging in..."};
const TLines kDeleted = {"lInfo Deleting the message...", "lInfo Continue checking..."};
const TLines kFinished = {"lInfo Checking finished."};
const TLines kQuit = {"QUIT"};
const TMailboxSettings kSettings = {"127.0.0.1", "peer", "u", "secret"};

// Busier than this while the user looks at a window for AnswerDelayMs is a busy loop.
constexpr double kIdleCpuSeconds = 0.05;
constexpr std::uint64_t kEndMs = 500;
constexpr long kPeakLimitKb = 64 * 1024;

TLines Box(const std::string& Text) {
  return {"MessageBox " + Text};
}
const TLines kLost = Box("Error -ERR Disconneced unexpectedly");
const TLines kDeletionsLost =
    Box("The connection to your mailbox was lost before the check ended, so the messages you chose "
        "to delete are still on the server.");

// Every byte of the server's a packet of its own.
void Trickle(TScriptedPeer& p, const std::string& Bytes) {
  for (char c : Bytes) p.Send(std::string(1, c));
}

// Login, STAT and UIDL 1 answered, for a message that is never written.
void UpToTheFirstSpoolFile(TScriptedPeer& p) {
  CheckHarness::ScriptLogin(p);
  CheckHarness::Reply(p, "+OK 1 100");
  CheckHarness::Reply(p, "+OK 1 uid1");
}

// RETR's answer for a message of about Size bytes: its attachment big.exe is base64 lines of
// zeros before the import name the content search looks for. The peer writes it block by
// block, so only the program under test could hold it whole.
TScriptedPeer::TStepFunction HugeMessage(std::size_t Size) {
  return [Size](TScriptedPeer& p) {
    const std::string last = CheckHarness::Base64("WSOCK32.DLL!");
    const std::string mail = CheckHarness::Mail("huge", {"big.exe"}, last);
    std::string block;
    while (block.size() < 65536) block += std::string(76, 'A') + "\r\n";
    const std::size_t body = mail.find(last);
    if (!p.Stream()->Write("+OK\r\n" + mail.substr(0, body))) return false;
    for (std::size_t sent = 0; sent < Size; sent += block.size())
      if (!p.Stream()->Write(block)) return false;
    return p.Stream()->Write(mail.substr(body) + ".\r\n");
  };
}

// The kernel's record of the peak resident size, started afresh where the kernel lets us;
// where it does not, the peak of the whole run so far is still an upper bound.
void ResetPeakResident() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

long PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.starts_with("VmHWM:")) return std::stol(line.substr(6));
  return -1;
}

// AddressSanitizer's shadow memory and quarantine, and valgrind's own heap, say nothing about
// the program's: the plain run measures it.
bool MeasuresMemory() {
#if defined(__SANITIZE_ADDRESS__)
  return false;
#elif defined(RUNNING_ON_VALGRIND)
  return !RUNNING_ON_VALGRIND;
#else
  return true;
#endif
}

bool Empty(const std::string& Folder) {
  return !std::filesystem::exists(Folder) || std::filesystem::is_empty(Folder);
}

TEST_F(FaultMatrix, EveryFaultEndsToldCleanIdleAndBounded) {
  AnswerDelayMs = 200;
  const std::string longLine = Base64(std::string(786432, 'x') + "WSOCK32.DLL!");
  const auto readOnly = [this](const char* folder) {
    return [this, folder] { Fault = std::make_shared<TReadOnlyFolder>(Folder().File(folder)); };
  };
  const auto missing = [this](const char* folder) {
    return [this, folder] { std::filesystem::remove(Folder().File(folder)); };
  };
  const TAction closedFromOutside = [this](TForm*) {
    Screen().InjectClose(fMain->DisplayWindow());
  };
  const std::vector<TCheckCase> rows = {
      {"dropped after the greeting, USER unanswered",
       [](TScriptedPeer& p) { p.Send("+OK ready\r\n").Expect().Close(); },
       {Press(VK_RETURN)},
       kLoggingIn + kLost,
       {"USER u"}},
      {"dropped after USER, PASS unanswered",
       [](TScriptedPeer& p) {
         p.Send("+OK ready\r\n");
         Reply(p, "+OK");
         p.Expect().Close();
       },
       {Press(VK_RETURN)},
       kLoggingIn + kLost,
       LoginCommands()},
      {"dropped after PASS, in the pause before STAT",
       [](TScriptedPeer& p) { ScriptLogin(p).Close(); },
       {Press(VK_RETURN)},
       LoggedIn() + kLost,
       LoginCommands()},
      {"dropped during STAT",
       [](TScriptedPeer& p) { ScriptLogin(p).Expect().Close(); },
       {Press(VK_RETURN)},
       LoggedIn() + kLost,
       LoginCommands() + FetchCommands(0)},
      {"reset in the middle of a RETR line",
       [](TScriptedPeer& p) {
         UpToTheFirstSpoolFile(p);
         p.Expect().Send("+OK\r\nFrom: a@exa").Reset();
       },
       {Press(VK_RETURN)},
       LoggedIn() + kLost,
       LoginCommands() + FetchCommands(1)},
      {"dropped between RETR lines",
       [](TScriptedPeer& p) {
         UpToTheFirstSpoolFile(p);
         p.Expect().Send("+OK\r\nFrom: a@example.org\r\n").Close();
       },
       {Press(VK_RETURN)},
       LoggedIn() + kLost,
       LoginCommands() + FetchCommands(1)},
      {"dropped during a DELE wait: the pass goes on, the lost deletion is told at its end",
       [](TScriptedPeer& p) {
         ScriptMailbox(p, kTwoMails);
         p.Expect().Close();
       },
       {Delete(), Continue(), Press(VK_RETURN)},
       LoggedIn() + TLines{"fWarn one a.exe (spool 1 2)"} + kDeleted +
           TLines{"fWarn two a.exe (spool 2)"} + kDeletionsLost + kFinished,
       LoginCommands() + FetchCommands(2) + TLines{"DELE 1"}},
      {"a deletion marked, then the server hangs up while the user looks at the next warning",
       [](TScriptedPeer& p) {
         ScriptMailbox(p, kTwoMails);
         Reply(p, "+OK marked");
         p.Close();
       },
       {Delete(), Continue(), Press(VK_RETURN)},
       LoggedIn() + TLines{"fWarn one a.exe (spool 1 2)"} + kDeleted +
           TLines{"fWarn two a.exe (spool 2)"} + kDeletionsLost + kFinished,
       LoginCommands() + FetchCommands(2) + TLines{"DELE 1"}},
      {"dropped before QUIT's reply",
       [](TScriptedPeer& p) {
         ScriptMailbox(p, {Mail("one", {kExe})});
         Reply(p, "+OK marked");
         p.Expect().Close();
       },
       {Delete()},
       LoggedIn() + TLines{"fWarn one a.exe (spool 1)"} + kDeleted + kFinished,
       LoginCommands() + FetchCommands(1) + TLines{"DELE 1"} + kQuit},
      {"a server that sends one byte per packet",
       [](TScriptedPeer& p) {
         Trickle(p, "+OK ready\r\n");
         for (const std::string& reply : MailboxReplies(kTwoMails) + TLines{"+OK", "+OK bye"}) {
           p.Expect();
           Trickle(p, reply + "\r\n");
         }
       },
       {Continue(), Delete()},
       LoggedIn() + TLines{"fWarn one a.exe (spool 1 2)", "fWarn two a.exe (spool 2)"} + kDeleted +
           kFinished,
       LoginCommands() + FetchCommands(2) + TLines{"DELE 2"} + kQuit},
      {"a server that never answers: the user closes the window",
       [](TScriptedPeer& p) { p.ExpectEnd(); },
       {},
       {"lInfo Connecting to your mailbox..."},
       {}},
      {"a mailbox of 10,000 messages: the first 1000 are checked, the rest stay on the server",
       [](TScriptedPeer& p) {
         ScriptLogin(p);
         Reply(p, "+OK 10000 1000000");
         for (int n = 1; n <= 1000; ++n) {
           Reply(p, "+OK " + std::to_string(n) + " uid");
           Reply(p, "+OK\r\n" + Mail("m" + std::to_string(n), n == 1000 ? TLines{kExe} : TLines{}) +
                        ".");
         }
         Reply(p, "+OK bye");
       },
       {Continue()},
       LoggedIn() + TLines{"fWarn m1000 a.exe (spool 1000)"} + kFinished,
       LoginCommands() + FetchCommands(1000) + kQuit,
       nullptr,
       kSettings,
       60000},
      {"a message with a 1 MB line",
       [&](TScriptedPeer& p) {
         ScriptMailbox(p, {Mail("long", {kExe}, longLine)});
         Reply(p, "+OK bye");
       },
       {Judged(Continue())},
       LoggedIn() + TLines{"fWarn long a.exe (spool 1)", kVirus} + kFinished,
       LoginCommands() + FetchCommands(1) + kQuit},
      {"a message of 50 MB",
       [](TScriptedPeer& p) {
         UpToTheFirstSpoolFile(p);
         p.Expect().Do(HugeMessage(50 << 20));
         Reply(p, "+OK marked");
         Reply(p, "+OK bye");
       },
       {Judged(Delete())},
       LoggedIn() + TLines{"fWarn huge big.exe (spool 1)", kVirus} + kDeleted + kFinished,
       LoginCommands() + FetchCommands(1) + TLines{"DELE 1"} + kQuit,
       nullptr,
       kSettings,
       60000},
      {"every message already has a spool file: none is downloaded again",
       [](TScriptedPeer& p) {
         ScriptLogin(p);
         Reply(p, "+OK 2 200");
         Reply(p, "+OK 1 uid1");
         Reply(p, "+OK 2 uid2");
         Reply(p, "+OK marked");
         Reply(p, "+OK bye");
       },
       {Continue(), Delete()},
       LoggedIn() + TLines{"tick", "fWarn one a.exe (spool 1 2)", "fWarn two a.exe (spool 2)"} +
           kDeleted + kFinished,
       LoginCommands() + TLines{"STAT", "UIDL 1", "UIDL 2", "DELE 2"} + kQuit,
       [this] {
         for (int n : {1, 2}) Folder().Write(SpoolPath(n), kTwoMails[n - 1]);
       }},
      {"Data0000 missing",
       UpToTheFirstSpoolFile,
       {Press(VK_RETURN)},
       LoggedIn() + Box("Path not found"),
       LoginCommands() + TLines{"STAT", "UIDL 1"},
       missing("Data0000")},
      {"Data0000 read-only",
       UpToTheFirstSpoolFile,
       {Press(VK_RETURN)},
       LoggedIn() + Box("Access denied"),
       LoginCommands() + TLines{"STAT", "UIDL 1"},
       readOnly("Data0000")},
      {"Data0001 missing",
       [](TScriptedPeer& p) { ScriptMailbox(p, kTwoMails); },
       {Press(VK_RETURN)},
       LoggedIn() + Box("Cannot create file Data0001/a.exe"),
       LoginCommands() + FetchCommands(2),
       missing("Data0001")},
      {"Data0001 read-only",
       [](TScriptedPeer& p) { ScriptMailbox(p, kTwoMails); },
       {Press(VK_RETURN)},
       LoggedIn() + Box("Cannot create file Data0001/a.exe"),
       LoginCommands() + FetchCommands(2),
       readOnly("Data0001")},
      {"the disk fills up while a spool file is written",
       [](TScriptedPeer& p) { ScriptMailbox(p, {Mail("big", {kExe}, std::string(200000, 'A'))}); },
       {Press(VK_RETURN)},
       LoggedIn() + Box("Disk full"),
       LoginCommands() + FetchCommands(1),
       [this] { DiskFull = std::make_unique<TFileSizeLimit>(20000); }},
      {"the main window closed from outside while a warning is shown",
       [](TScriptedPeer& p) { ScriptMailbox(p, kTwoMails); },
       {closedFromOutside},
       LoggedIn() + TLines{"fWarn one a.exe (spool 1 2)"},
       LoginCommands() + FetchCommands(2)},
  };
  for (const TCheckCase& row : rows) {
    ResetPeakResident();
    const std::uint64_t started = TickCount();
    RunCheck(row);
    const std::uint64_t tookMs = TickCount() - started;
    const long peakKb = PeakResidentKb();
    SCOPED_TRACE(row.what);
    EXPECT_TRUE(Empty(Folder().File("Data0001"))) << "scratch files left";
    const double idleCpu = WaitCpu.empty() ? 0 : *std::max_element(WaitCpu.begin(), WaitCpu.end());
    EXPECT_LT(idleCpu, kIdleCpuSeconds) << "busy while the user looks";
    EXPECT_LT(EndMs, kEndMs) << "the program did not end at once";
    if (MeasuresMemory()) {
      EXPECT_LT(peakKb, kPeakLimitKb) << "peak resident size";
    }
    std::printf("%-88s %5llu ms, idle CPU %4.1f ms, ended in %3llu ms, peak %ld kB\n", row.what,
                static_cast<unsigned long long>(tookMs), idleCpu * 1000,
                static_cast<unsigned long long>(EndMs), peakKb);
  }
}

}  // namespace

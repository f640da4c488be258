// Whole mail checks against a scripted mailbox: what the server receives, what the status
// line says, which windows come up and what the user answers, in order.

#include <chrono>
#include <string>
#include <thread>

#include "CheckHarness.h"
#include "app/Main.h"
#include "app/Warn.h"
#include "platform/MessageLoop.h"

namespace {

using MailCheck = CheckHarness;

const TLines kFinished = {"lInfo Checking finished."};
const TLines kDeleted = {"lInfo Deleting the message...", "lInfo Continue checking..."};
const TLines kQuit = {"QUIT"};
const std::string kPlainExe = "a.exe";

// A slow server: the peer's thread waits before its next step.
TScriptedPeer::TStepFunction ServerDelay(int ms) {
  return [ms](TScriptedPeer&) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return true;
  };
}

// The download, then spool files 1, 2, 3 in turn, each gone once examined.
TEST_F(MailCheck, DownloadsEveryMessageThenExaminesAndDeletesEachSpoolFile) {
  RunChecks({
      {"an empty mailbox: one second later the check finishes",
       [](TScriptedPeer& p) {
         ScriptMailbox(p, {});
         Reply(p, "+OK bye");
       },
       {},
       LoggedIn() + TLines{"lInfo No new messages in your mailbox.", "tick"} + kFinished,
       LoginCommands() + FetchCommands(0) + kQuit},
      {"three messages: the analysis follows the last RETR without a pause",
       [](TScriptedPeer& p) {
         ScriptMailbox(
             p, {Mail("one", {kPlainExe}), Mail("two", {"b.vbs"}), Mail("three", {"c.reg"})});
         Reply(p, "+OK bye");
       },
       {Continue(), Continue(), Continue()},
       LoggedIn() +
           TLines{"fWarn one a.exe (spool 1 2 3)", "fWarn two b.vbs (spool 2 3)",
                  "fWarn three c.reg (spool 3)"} +
           kFinished,
       LoginCommands() + FetchCommands(3) + kQuit},
      {"a spool file already there is not downloaded again; as the last one, a tick later",
       [](TScriptedPeer& p) {
         ScriptLogin(p);
         Reply(p, "+OK 2 100");
         Reply(p, "+OK 1 uid1");
         Reply(p, "+OK\r\n" + Mail("one", {}) + ".");
         Reply(p, "+OK 2 uid2");
         Reply(p, "+OK bye");
       },
       {Continue()},
       LoggedIn() + TLines{"tick", "fWarn left a.exe (spool 2)"} + kFinished,
       LoginCommands() + TLines{"STAT", "UIDL 1", "RETR 1", "UIDL 2"} + kQuit,
       [this] { Folder().Write("Data0000/2.msg", Mail("left", {kPlainExe})); }},
      {"a UIDL reply that names another message changes nothing: RETR 2 follows UIDL 2",
       [](TScriptedPeer& p) {
         ScriptLogin(p);
         Reply(p, "+OK 2 100");
         for (const char* subject : {"one", "two"}) {
           Reply(p, "+OK 1 uid");
           Reply(p, "+OK\r\n" + Mail(subject, {}) + ".");
         }
         Reply(p, "+OK bye");
       },
       {},
       LoggedIn() + kFinished,
       LoginCommands() + FetchCommands(2) + kQuit},
      {"deletion sends DELE with the message's number",
       [](TScriptedPeer& p) {
         ScriptMailbox(p, {Mail("one", {}), Mail("two", {kPlainExe})});
         Reply(p, "+OK marked");
         Reply(p, "+OK bye");
       },
       {Delete()},
       LoggedIn() + TLines{"fWarn two a.exe (spool 2)"} + kDeleted + kFinished,
       LoginCommands() + FetchCommands(2) + TLines{"DELE 2"} + kQuit},
      {"deletion chosen twice for one message: the refused second one is not reported",
       [](TScriptedPeer& p) {
         ScriptMailbox(p, {Mail("one", {kPlainExe, "b.exe"})});
         Reply(p, "+OK marked");
         Reply(p, "-ERR message 1 already deleted");
         Reply(p, "+OK bye");
       },
       {Delete(), Delete()},
       LoggedIn() + TLines{"fWarn one a.exe (spool 1)"} + kDeleted +
           TLines{"fWarn one b.exe (spool 1)"} + kDeleted + kFinished,
       LoginCommands() + FetchCommands(1) + TLines{"DELE 1", "DELE 1"} + kQuit},
  });
}

// A failure is told once, in a message box, and the check goes no further: no command is
// repeated, nothing more is sent, and no QUIT.
TEST_F(MailCheck, AFailureIsReportedOnceAndNothingMoreIsSent) {
  const auto box = [](const std::string& text) { return TLines{"MessageBox " + text}; };
  const TLines connecting = {"lInfo Connecting to your mailbox..."};
  const TLines loggingIn = connecting + TLines{"lInfo Logging in..."};
  TRefusingPort refusing;
  RunChecks({
      {"a refused USER",
       [](TScriptedPeer& p) {
         p.Send("+OK ready\r\n");
         Reply(p, "-ERR no such user");
       },
       {Press(VK_RETURN)},
       loggingIn + box("Error -ERR no such user"),
       {"USER u"}},
      {"a refused PASS",
       [](TScriptedPeer& p) {
         p.Send("+OK ready\r\n");
         Reply(p, "+OK");
         Reply(p, "-ERR wrong password");
       },
       {Press(VK_RETURN)},
       loggingIn + box("Error -ERR wrong password"),
       LoginCommands()},
      {"a negative greeting",
       [](TScriptedPeer& p) { p.Send("-ERR too busy\r\n"); },
       {Press(VK_RETURN)},
       connecting + box("Error -ERR too busy"),
       {}},
      {"a connection lost before the greeting",
       [](TScriptedPeer& p) { p.Close(); },
       {Press(VK_RETURN)},
       connecting + box("Error -ERR Disconneced unexpectedly"),
       {}},
      {"a refused connection",
       nullptr,
       {Press(VK_RETURN)},
       connecting + box("Error -ERR Connection refused (Winsock error #10061)"),
       {},
       nullptr,
       {"127.0.0.1", refusing.Port(), "u", "secret"}},
      {"a host name that is not found",
       nullptr,
       {Press(VK_RETURN)},
       connecting + box("Error -ERR Host not found (Winsock error #11001)"),
       {},
       nullptr,
       {"no-such-host.invalid", "110", "u", "secret"}},
      {"UIDL refused after STAT",
       [](TScriptedPeer& p) {
         ScriptLogin(p);
         Reply(p, "+OK 2 100");
         Reply(p, "-ERR UIDL not supported");
       },
       {Press(VK_RETURN)},
       LoggedIn() + box("Error -ERR UIDL not supported"),
       LoginCommands() + TLines{"STAT", "UIDL 1"}},
  });
}

// Closing the main window ends the program in every phase, without QUIT, and no further
// analysis, warning or deletion follows.
TEST_F(MailCheck, ClosingEndsTheProgramInEveryPhaseWithoutQuit) {
  const TLines connecting = {"lInfo Connecting to your mailbox..."};
  const TAction closeProgram = [](TForm*) { fMain->Close(); };
  TLines beforeTheTick = LoggedIn();
  beforeTheTick.pop_back();
  RunChecks({
      {"connecting", [](TScriptedPeer& p) { p.Expect(); }, {}, connecting, {}},
      {"logging in",
       [](TScriptedPeer& p) { p.Send("+OK ready\r\n").Expect(); },
       {},
       connecting + TLines{"lInfo Logging in..."},
       {"USER u"}},
      {"waiting to fetch",
       [](TScriptedPeer& p) { ScriptLogin(p); },
       {},
       beforeTheTick,
       LoginCommands()},
      {"fetching",
       [](TScriptedPeer& p) {
         ScriptLogin(p);
         Reply(p, "+OK 1 100");
         p.Expect();
       },
       {},
       LoggedIn(),
       LoginCommands() + TLines{"STAT", "UIDL 1"}},
      {"a warning waiting for the user",
       [](TScriptedPeer& p) {
         ScriptMailbox(p, {Mail("one", {kPlainExe, "b.exe"})});
       },
       {closeProgram},
       LoggedIn() + TLines{"fWarn one a.exe (spool 1)"},
       LoginCommands() + FetchCommands(1)},
      {"the deletion wait",
       [](TScriptedPeer& p) {
         ScriptMailbox(p, {Mail("one", {kPlainExe, "b.exe"})});
         p.Expect();
       },
       {Delete()},
       LoggedIn() + TLines{"fWarn one a.exe (spool 1)", "lInfo Deleting the message..."},
       LoginCommands() + FetchCommands(1) + TLines{"DELE 1"}},
  });
}

TEST_F(MailCheck, AMissingSettingIsAskedForBeforeAnyConnection) {
  RunChecks({{"Cancel in the settings window ends the program without connecting",
              [](TScriptedPeer& p) { p.Expect(); },
              {ClickOn("QnButton2")},
              {"fSetup 127.0.0.1|110|u|"},
              {},
              nullptr,
              {"127.0.0.1", "110", "u", ""}}});
}

// Waiting, for a slow server, for the user or for a deletion, sleeps in the loop.
TEST_F(MailCheck, WaitingForTheServerOrTheUserUsesAlmostNoCpu) {
  AnswerDelayMs = 2000;
  double warningCpu = 1;
  std::uint64_t warningWait = 0;
  const TAction measure = [&](TForm* w) {
    warningCpu = ProcessCpuSeconds() - SeenCpu;
    warningWait = TickCount() - SeenTick;
    Delete()(w);
  };
  RunCheck({"a greeting and a deletion answered two seconds late, a warning two seconds later",
            [](TScriptedPeer& p) {
              p.Do(ServerDelay(2000));
              ScriptMailbox(p, {Mail("one", {kPlainExe})});
              p.Expect().Do(ServerDelay(2000)).Send("+OK\r\n");
              Reply(p, "+OK bye");
            },
            {measure},
            LoggedIn() + TLines{"fWarn one a.exe (spool 1)"} + kDeleted + kFinished,
            LoginCommands() + FetchCommands(1) + TLines{"DELE 1"} + kQuit,
            nullptr,
            {"127.0.0.1", "peer", "u", "secret"},
            15000});
  ASSERT_EQ(LogTicks.size(), 8u);
  const auto waitedMs = [&](int from) { return LogTicks[from + 1] - LogTicks[from]; };
  const auto cpu = [&](int from) { return LogCpu[from + 1] - LogCpu[from]; };
  EXPECT_GE(waitedMs(0), 1900u);
  EXPECT_LT(cpu(0), 0.1) << "the wait for the greeting spun";
  EXPECT_GE(warningWait, 2000u);
  EXPECT_LT(warningCpu, 0.1) << "the warning window's wait spun";
  EXPECT_GE(waitedMs(5), 1900u);
  EXPECT_LT(cpu(5), 0.1) << "the deletion wait spun";
  std::printf(
      "CPU seconds: %.4f in %llu ms for the greeting, %.4f in %llu ms for the user, %.4f "
      "in %llu ms for the deletion\n",
      cpu(0), static_cast<unsigned long long>(waitedMs(0)), warningCpu,
      static_cast<unsigned long long>(warningWait), cpu(5),
      static_cast<unsigned long long>(waitedMs(5)));
}

}  // namespace

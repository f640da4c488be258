// Whole mail checks against a scripted mailbox: what the server receives, what the status
// line says, which windows come up and what the user answers, in order.

#include <string>

#include "CheckHarness.h"
#include "pop3/Pop3ReceiveBuffer.h"

namespace {

using MailCheck = CheckHarness;

const TLines kFinished = {"lInfo Checking finished."};
const TLines kDeleted = {"lInfo Deleting the message...", "lInfo Continue checking..."};
const TLines kQuit = {"QUIT"};
const std::string kPlainExe = "a.exe";

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

}  // namespace

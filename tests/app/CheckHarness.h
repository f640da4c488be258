#pragma once
// Whole mail checks, headless: the program's windows as start-up makes them, a scripted
// POP3 peer on 127.0.0.1 as the mailbox, and the user's answers to each window that comes
// up. One log holds, in order, every status text ("lInfo ..."), every tick of the check's
// timer ("tick") and every window answered ("fWarn <subject> <name> (spool <n> ...)" with
// the spool files on disk at the time, "MessageBox <text>", "fSetup ..."); the peer holds
// the commands the server received. Once both are as long as the case expects, the user
// presses Esc in the main window, and the run ends.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "WindowsHarness.h"
#include "app/SettingsFile.h"
#include "support/ScriptedPeer.h"

TLines operator+(TLines a, const TLines& b);

class CheckHarness : public WindowsHarness {
 protected:
  struct TCheckCase {
    const char* what;
    std::function<void(TScriptedPeer& Peer)> script;
    std::deque<TAction> answers;
    TLines log;
    TLines commands;
    // Runs after the start-up's sweep, before the main window appears.
    std::function<void()> before = nullptr;
    // "peer" as the port stands for the scripted peer's.
    TMailboxSettings settings = {"127.0.0.1", "peer", "u", "secret"};
    int timeoutMs = 6000;
    // A further condition for the user's Esc, for a server that is not the scripted peer.
    std::function<bool()> closeWhen = nullptr;
  };

  void RunChecks(const std::vector<TCheckCase>& cases);
  void RunCheck(const TCheckCase& c);

 public:
  // Server lines: a greeting and an accepted USER and PASS; then STAT and, for each mail,
  // UIDL n and RETR n answered.
  static TScriptedPeer& ScriptLogin(TScriptedPeer& Peer);
  static void ScriptMailbox(TScriptedPeer& Peer, const std::vector<std::string>& Mails);
  // The replies ScriptMailbox gives after the greeting, in order.
  static TLines MailboxReplies(const std::vector<std::string>& Mails);
  // Answers the next command with line.
  static void Reply(TScriptedPeer& Peer, const std::string& Line);
  // A message from a@example.org with one base64 attachment for each name; body is the
  // base64 text of each.
  static std::string Mail(const std::string& Subject, const std::vector<std::string>& Names,
                          const std::string& Body = "TVqQ");
  // Standard base64 of bytes, in one line; a length that is no multiple of 3 loses its tail.
  static std::string Base64(const std::string& Bytes);
  // What the server receives for the login, and for the download of n messages.
  static TLines LoginCommands();
  static TLines FetchCommands(int n);
  // The statuses up to the tick that starts the download.
  static TLines LoggedIn();

 protected:
  TAction Delete() { return ClickOn("qDel"); }
  TAction Continue() { return ClickOn("qCon"); }
  // Logs the warning's first verdict line, then answers.
  TAction Judged(TAction Answer);

  // A window is answered, and the main window closed at the end, only after the user has
  // looked at it this long.
  int AnswerDelayMs = 0;
  // Process CPU time and tick count when the window being answered came up.
  double SeenCpu = 0;
  std::uint64_t SeenTick = 0;
  // The process CPU time each of those looks took, in order, the close last.
  std::vector<double> WaitCpu;
  // From the user's last action (the Esc, or the last answer) to the end of the loop.
  std::uint64_t EndMs = 0;
  // A fault of the case's own (a read-only folder), held for the run and dropped after it.
  std::shared_ptr<void> Fault;
  // Per log entry: the process CPU time and the tick count when it was logged.
  std::vector<double> LogCpu;
  std::vector<std::uint64_t> LogTicks;

 private:
  void Log(const std::string& Entry);
  std::string SpoolList();
  bool Step(const TCheckCase& c, TScriptedPeer& Peer, std::deque<TAction>& Answers);
  // Everything the case expects has been shown and received.
  bool Ended(const TCheckCase& c, TScriptedPeer& Peer);
  void WriteSettings(TMailboxSettings Settings, const std::string& Port);

  bool Looked(TForm* Window);
  void Answer(TForm* Modal, std::deque<TAction>& Answers);

  bool FClosing = false;
  TForm* FSeen = nullptr;
  std::uint64_t FActedTick = 0;
};

double ProcessCpuSeconds();

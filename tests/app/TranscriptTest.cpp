// The program started without a display, followed on a console: the whole transcript of a
// check against a scripted mailbox, answered by --answer, by lines on a pipe (some given
// before the start, one only once the warning shows) and by an input that has ended; the
// settings window filled from lines; the run's end of its own and its exit status.

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "CheckHarness.h"
#include "app/ProgramMain.h"
#include "app/Transcript.h"
#include "forms/CommandLine.h"

namespace {

class Transcript : public CheckHarness {
 protected:
  struct TRun {
    const char* what;
    std::vector<std::string> arguments;
    std::function<void(TScriptedPeer& Peer)> script;
    std::string input;  // on the pipe before the start; then the pipe is closed
    TLines out;
    TLines commands;
    int status = ExitOk;
    // A further line for the pipe, written once the output holds the text given; the pipe
    // is closed after it.
    std::pair<std::string, std::string> later = {};
    // "peer" stands for the scripted peer's port, here and in the output.
    std::optional<std::string> settings = "127.0.0.1\r\npeer\r\nu\r\ntfdsfu\r\n";
  };

  void Check(const std::vector<TRun>& runs) {
    for (const TRun& run : runs) Check(run);
  }

  void Check(const TRun& run) {
    SCOPED_TRACE(run.what);
    TScriptedPeer peer;
    if (run.script) run.script(peer);
    ::unlink(Folder().File("Tessel.dat").c_str());
    if (run.settings) Folder().Write("Tessel.dat", Replaced(*run.settings, "peer", peer.Port()));
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    ASSERT_EQ(::write(pipe[1], run.input.data(), run.input.size()),
              static_cast<ssize_t>(run.input.size()));
    if (run.later.first.empty()) ::close(pipe[1]);
    std::ostringstream out, err;
    const TConsole console{pipe[0], out, err};
    SetArguments(run.arguments);
    DrainMessages();
    Application->ResetTerminated();
    int status = -1;
    {
      bool written = run.later.first.empty();
      auto driver = Driver(
          [&] {
            if (!written && out.str().find(run.later.first) != std::string::npos) {
              written = ::write(pipe[1], run.later.second.data(), run.later.second.size()) > 0;
              ::close(pipe[1]);
            }
            return false;
          },
          8000);
      status = ProgramMain(Folder().File("quillet"), &console);
    }
    ::close(pipe[0]);
    EXPECT_EQ(status, run.status);
    TLines expected;
    for (const std::string& line : run.out) expected.push_back(Replaced(line, "peer", peer.Port()));
    EXPECT_EQ(Split(out.str()), expected);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(peer.Lines(), run.commands);
  }

  static std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    if (const auto at = text.find(from); at != std::string::npos) text.replace(at, from.size(), to);
    return text;
  }
  static TLines Split(const std::string& text) {
    TLines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  static TLines MainShown() { return {"[Quillet]", "  CLabel1: Quillet 1.1", "  lInfo: ..."}; }
  static TLines LoggedIn() {
    return {"  lInfo: Connecting to your mailbox...", "  lInfo: Logging in...",
            "  lInfo: Checking your mail... Please wait."};
  }
  static TLines Download(const std::vector<std::string>& mails) {
    TLines lines;
    for (std::size_t n = 1; n <= mails.size(); ++n) {
      std::string line = "  download: message ";
      line += std::to_string(n) + " of " + std::to_string(mails.size()) + ", ";
      line += std::to_string(mails[n - 1].size()) + " bytes";
      lines.push_back(line);
    }
    return lines;
  }
  // The warning window for a mail of Mail(): from a@example.org, a made-up executable.
  static TLines Warning(const std::string& subject, const std::string& name) {
    return {"[Warning!]",
            "  CLabel1: Warning!",
            "  l1: From:",
            "  l2: Subject:",
            "  l3: Attached file:",
            "  lFrom: a@example.org",
            "  lSubj: " + subject,
            "  lName: " + name,
            "  qDel: Delete & continue scanning",
            "  qCon: Continue scanning",
            "  Label1: Checking results",
            "  ll1: This is an executable file. Quillet can not find dangerous data inside.",
            "  ll2: But be careful. New types of viruses appear every day..."};
  }
  static TLines Answer(const std::string& answer) { return {"  answer: " + answer}; }
  static TLines Deleted() {
    return {"  lInfo: Deleting the message...", "  lInfo: Continue checking..."};
  }
  static TLines Box(const std::string& text) { return {"[Quillet]", "  Text: " + text}; }
  static TLines Settings() {
    return {"[Quillet Settings]",      "  CLabel1: Quillet Settings",
            "  Label1: POP3 server:",  "  Label2: Port (default 110):",
            "  Label3: POP3 account:", "  Label4: Password:",
            "  QnButton1: Save",       "  QnButton2: Cancel"};
  }
  static TLines Finished() { return {"  lInfo: Checking finished."}; }

  inline static const std::vector<std::string> kTwo = {Mail("hello", {}),
                                                       Mail("Q&A", {"setup.exe"})};
  inline static const std::vector<std::string> kThree = {
      Mail("one", {"a.exe"}), Mail("two", {"b.exe"}), Mail("three", {"c.exe"})};

  // The two mails, then the deletions asked for and the logout answered.
  static void TwoThenQuit(TScriptedPeer& p, int deletions) {
    ScriptMailbox(p, kTwo);
    for (int i = 0; i < deletions; ++i) Reply(p, "+OK");
    Reply(p, "+OK bye");
  }
};

TEST_F(Transcript, AWholeCheckAnsweredByOptionByPipeAndByAnEndedInput) {
  const TLines login = CheckHarness::LoginCommands();
  Check({
      {"--answer delete; the subject's ampersand is an accelerator prefix",
       {"--answer", "delete"},
       [](TScriptedPeer& p) { TwoThenQuit(p, 1); },
       "",
       MainShown() + LoggedIn() + Download(kTwo) + Warning("QA", "setup.exe") + Answer("delete") +
           Deleted() + Finished(),
       login + FetchCommands(2) + TLines{"DELE 2", "QUIT"}},
      {"--answer continue",
       {"--answer=continue"},
       [](TScriptedPeer& p) { TwoThenQuit(p, 0); },
       "",
       MainShown() + LoggedIn() + Download(kTwo) + Warning("QA", "setup.exe") + Answer("continue") +
           Finished(),
       login + FetchCommands(2) + TLines{"QUIT"}},
      {"answers on a pipe: d, a word that is none, an empty line, then the end of the input",
       {},
       [](TScriptedPeer& p) {
         ScriptMailbox(p, kThree);
         Reply(p, "+OK");
         Reply(p, "+OK bye");
       },
       "d\nmaybe\n\n",
       MainShown() + LoggedIn() + Download(kThree) + Warning("one", "a.exe") + Answer("delete") +
           Deleted() + Warning("two", "b.exe") +
           TLines{"  \"maybe\" is no answer: d deletes the message, c or Enter continues"} +
           Answer("continue") + Warning("three", "c.exe") + TLines{"  (no more input)"} +
           Answer("continue") + Finished(),
       login + FetchCommands(3) + TLines{"DELE 1", "QUIT"}},
      {"an answer typed only once the warning shows",
       {},
       [](TScriptedPeer& p) { TwoThenQuit(p, 1); },
       "",
       MainShown() + LoggedIn() + Download(kTwo) + Warning("QA", "setup.exe") + Answer("delete") +
           Deleted() + Finished(),
       login + FetchCommands(2) + TLines{"DELE 2", "QUIT"},
       ExitOk,
       {"  ll2:", "d\n"}},
  });
}

// Without a display nobody closes the main window: an error box that stopped the check ends
// the run with ExitCheckFailed, the check's own end with ExitOk.
TEST_F(Transcript, TheRunEndsByItselfWithTheCheck) {
  Check({
      {"a refused UIDL",
       {},
       [](TScriptedPeer& p) {
         ScriptLogin(p);
         Reply(p, "+OK 1 100");
         Reply(p, "-ERR no UIDL here");
       },
       "",
       MainShown() + LoggedIn() + Box("Error -ERR no UIDL here") + Answer("OK"),
       LoginCommands() + TLines{"STAT", "UIDL 1"},
       ExitCheckFailed},
      {"no settings file",
       {},
       nullptr,
       "",
       MainShown() + Box("File not found") + Answer("OK"),
       {},
       ExitCheckFailed,
       {},
       std::nullopt},
      {"an empty mailbox",
       {},
       [](TScriptedPeer& p) {
         ScriptLogin(p);
         Reply(p, "+OK 0 0");
         Reply(p, "+OK bye");
       },
       "",
       MainShown() + LoggedIn() + TLines{"  lInfo: No new messages in your mailbox."} + Finished(),
       LoginCommands() + TLines{"STAT", "QUIT"}},
  });
}

// The settings window takes its four fields from four lines, an empty one keeping what the
// field holds, and Enter saves; an input that has ended cancels it.
TEST_F(Transcript, TheSettingsWindowTakesItsFieldsFromLines) {
  const std::string noPassword = "127.0.0.1\r\npeer\r\nu\r\n\r\n";
  const auto fields = [](const std::string& pass) {
    return TLines{"  eServ: 127.0.0.1", "  ePort: peer", "  eUser: u", "  ePass:" + pass};
  };
  Check({
      {"the password typed, the rest kept: the check runs",
       {},
       [](TScriptedPeer& p) {
         ScriptLogin(p);
         Reply(p, "+OK 0 0");
         Reply(p, "+OK bye");
       },
       "\n\n\nsecret\n",
       MainShown() + Settings() + fields(" ******") + Answer("save") + LoggedIn() +
           TLines{"  lInfo: No new messages in your mailbox."} + Finished(),
       LoginCommands() + TLines{"STAT", "QUIT"},
       ExitOk,
       {},
       noPassword},
      {"four empty lines save nothing, and the end of the input cancels",
       {},
       nullptr,
       "\n\n\n\n",
       MainShown() + Settings() + fields("") +
           TLines{"  (the settings are saved only when every field holds something)",
                  "  (no more input)"} +
           Answer("cancel"),
       {},
       ExitOk,
       {},
       noPassword},
      {"settings-only mode without a settings file: the box, and no end of the check's",
       {"x"},
       nullptr,
       "",
       Box("File not found") + Answer("OK"),
       {},
       ExitSettingsUnreadable,
       {},
       std::nullopt},
      {"settings-only mode, an option before the argument",
       {"--answer", "delete", "x"},
       nullptr,
       "pop.example.org\n110\njoe\nabc\n",
       Settings() +
           TLines{"  eServ: pop.example.org", "  ePort: 110", "  eUser: joe", "  ePass: ***"} +
           Answer("save"),
       {},
       ExitOk,
       {},
       ""},
  });
  EXPECT_EQ(Folder().Read("Tessel.dat"), "pop.example.org\r\n110\r\njoe\r\nbcd\r\n");
}

TEST_F(Transcript, PicturesOfEveryWindowShownAndOfTheMainWindowAtTheEnd) {
  const std::string shots = Folder().File("shots/new");
  Check({"--screenshots",
         {"--screenshots", shots, "--answer", "continue"},
         [](TScriptedPeer& p) { TwoThenQuit(p, 0); },
         "",
         MainShown() + LoggedIn() + Download(kTwo) + Warning("QA", "setup.exe") +
             Answer("continue") + Finished(),
         LoginCommands() + FetchCommands(2) + TLines{"QUIT"}});
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(shots))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"01-fMain.png", "02-fWarn.png", "03-fMain.png"}));
}

TEST_F(Transcript, AnUnknownOptionOrABadValueIsRefused) {
  const std::string kUsage =
      "usage: quillet [--answer continue|delete] [--screenshots DIR] [ARGUMENT...]\n"
      "  Any ARGUMENT shows the settings window alone. The options matter only without a "
      "display.\n";
  const struct {
    std::vector<std::string> arguments;
    std::string complaint;
  } cases[] = {
      {{"--verbose"}, "quillet: unknown option --verbose\n"},
      {{"--answer", "maybe"}, "quillet: --answer wants continue or delete\n"},
      {{"--answer"}, "quillet: --answer wants continue or delete\n"},
      {{"--screenshots"}, "quillet: --screenshots wants a folder\n"},
  };
  for (const auto& c : cases) {
    SetArguments(c.arguments);
    std::ostringstream out, err;
    const TConsole console{-1, out, err};
    EXPECT_EQ(ProgramMain(Folder().File("quillet"), &console), ExitBadOption);
    EXPECT_EQ(err.str(), c.complaint + kUsage);
    EXPECT_EQ(out.str(), "");
  }
}

}  // namespace

namespace {

// A terminal sees the progress rewritten in place on one line, ended before the next line;
// a pipe sees each finished item once; prompts only where someone types.
TEST(ConsoleOutput, ProgressInPlaceOnATerminalAndFinishedItemsElsewhere) {
  const struct {
    bool terminal, prompts;
    std::string shown;
  } cases[] = {
      {true, true, "\r  1 of 2, 10\r  1 of 2, 9 \r  2 of 2, 5\nnext\nask: "},
      {false, false, "  1 of 2, 9\n  2 of 2, 5\nnext\n"},
  };
  for (const auto& c : cases) {
    std::ostringstream stream;
    TConsoleOutput out(stream, c.terminal, c.prompts);
    out.Progress("  1 of 2, 10", false);
    out.Progress("  1 of 2, 9", true);
    out.Progress("  2 of 2, 5", true);
    out.Line("next");
    out.Prompt("ask: ");
    EXPECT_EQ(stream.str(), c.shown);
  }
}

}  // namespace

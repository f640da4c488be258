#include "CheckHarness.h"

#include <time.h>

#include <algorithm>
#include <filesystem>

#include "app/Main.h"
#include "app/Warn.h"
#include "platform/MessageLoop.h"

TLines operator+(TLines a, const TLines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

double ProcessCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

TScriptedPeer& CheckHarness::ScriptLogin(TScriptedPeer& Peer) {
  Peer.Send("+OK ready\r\n");
  Reply(Peer, "+OK");
  Reply(Peer, "+OK");
  return Peer;
}

TLines CheckHarness::MailboxReplies(const std::vector<std::string>& Mails) {
  TLines replies = {"+OK", "+OK", "+OK " + std::to_string(Mails.size()) + " 100"};
  for (std::size_t n = 1; n <= Mails.size(); ++n) {
    replies.push_back("+OK " + std::to_string(n) + " uid" + std::to_string(n));
    replies.push_back("+OK\r\n" + Mails[n - 1] + ".");
  }
  return replies;
}

void CheckHarness::ScriptMailbox(TScriptedPeer& Peer, const std::vector<std::string>& Mails) {
  Peer.Send("+OK ready\r\n");
  for (const std::string& reply : MailboxReplies(Mails)) Reply(Peer, reply);
}

void CheckHarness::Reply(TScriptedPeer& Peer, const std::string& Line) {
  Peer.Expect().Send(Line + "\r\n");
}

std::string CheckHarness::Mail(const std::string& Subject, const std::vector<std::string>& Names,
                               const std::string& Body) {
  std::string mail = "From: a@example.org\r\nSubject: " + Subject + "\r\n\r\nHello\r\n\r\n";
  for (const std::string& name : Names)
    mail +=
        "Content-Type: application/octet-stream; name=\"" + name + "\"\r\n\r\n" + Body + "\r\n\r\n";
  return mail;
}

std::string CheckHarness::Base64(const std::string& Bytes) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (std::size_t i = 0; i + 2 < Bytes.size(); i += 3) {
    const unsigned v = static_cast<unsigned char>(Bytes[i]) << 16 |
                       static_cast<unsigned char>(Bytes[i + 1]) << 8 |
                       static_cast<unsigned char>(Bytes[i + 2]);
    for (int shift : {18, 12, 6, 0}) text += kAlphabet[(v >> shift) & 63];
  }
  return text;
}

CheckHarness::TAction CheckHarness::Judged(TAction Answer) {
  return [this, Answer](TForm* w) {
    Shown.push_back(fWarn->ll1->Caption());
    Answer(w);
  };
}

TLines CheckHarness::LoginCommands() {
  return {"USER u", "PASS secret"};
}

TLines CheckHarness::FetchCommands(int n) {
  TLines lines = {"STAT"};
  for (int i = 1; i <= n; ++i) {
    lines.push_back("UIDL " + std::to_string(i));
    lines.push_back("RETR " + std::to_string(i));
  }
  return lines;
}

TLines CheckHarness::LoggedIn() {
  return {"lInfo Connecting to your mailbox...", "lInfo Logging in...",
          "lInfo Checking your mail... Please wait.", "tick"};
}

void CheckHarness::Log(const std::string& Entry) {
  Shown.push_back(Entry);
  LogCpu.push_back(ProcessCpuSeconds());
  LogTicks.push_back(TickCount());
}

std::string CheckHarness::SpoolList() {
  std::vector<int> numbers;
  for (const auto& entry : std::filesystem::directory_iterator(Folder().File("Data0000")))
    numbers.push_back(std::stoi(entry.path().stem().string()));
  std::sort(numbers.begin(), numbers.end());
  std::string list = "(spool";
  for (int n : numbers) list += " " + std::to_string(n);
  return list + ")";
}

void CheckHarness::WriteSettings(TMailboxSettings Settings, const std::string& Port) {
  if (Settings.Port == "peer") Settings.Port = Port;
  WriteSettingsFile(Settings, Folder().File("Tessel.dat"));
}

// True once the user has looked at the window for AnswerDelayMs.
bool CheckHarness::Looked(TForm* Window) {
  if (FSeen != Window) {
    FSeen = Window;
    SeenCpu = ProcessCpuSeconds();
    SeenTick = TickCount();
  }
  if (TickCount() - SeenTick < static_cast<std::uint64_t>(AnswerDelayMs)) return false;
  FSeen = nullptr;
  WaitCpu.push_back(ProcessCpuSeconds() - SeenCpu);
  FActedTick = TickCount();
  return true;
}

void CheckHarness::Answer(TForm* Modal, std::deque<TAction>& Answers) {
  Log(Modal == fWarn
          ? "fWarn " + fWarn->lSubj->Caption() + " " + fWarn->lName->Caption() + " " + SpoolList()
          : Describe(Modal));
  if (Answers.empty()) {
    ADD_FAILURE() << "no answer left for " << Shown.back();
    Modal->Close();
    return;
  }
  TAction answer = std::move(Answers.front());
  Answers.pop_front();
  try {
    answer(Modal);
  } catch (const std::exception& e) {
    ADD_FAILURE() << "the answer to " << Shown.back() << " failed: " << e.what();
    Modal->Close();
  }
}

bool CheckHarness::Ended(const TCheckCase& c, TScriptedPeer& Peer) {
  return Shown.size() >= c.log.size() && Peer.Lines().size() >= c.commands.size() &&
         (!c.closeWhen || c.closeWhen());
}

// One look at the windows, every 10 ms from whatever loop runs.
bool CheckHarness::Step(const TCheckCase& c, TScriptedPeer& Peer, std::deque<TAction>& Answers) {
  TForm* modal = Application->ModalForm();
  if (modal && Awaits(modal)) {
    if (Looked(modal)) Answer(modal, Answers);
    return false;
  }
  // The log and the commands only grow, so once the look at the end has begun they are not
  // counted again: that would be the harness's work, measured as the program's.
  if (!modal && !FClosing && (FSeen == fMain || Ended(c, Peer)) && Looked(fMain)) {
    FClosing = true;
    Key(VK_ESCAPE);
  }
  return false;
}

void CheckHarness::RunCheck(const TCheckCase& c) {
  SCOPED_TRACE(c.what);
  TScriptedPeer peer;
  if (c.script) c.script(peer);
  WriteSettings(c.settings, peer.Port());
  // Each run starts from a fresh program folder, whatever the run before left or removed.
  for (const char* folder : {"Data0000", "Data0001"}) {
    std::filesystem::remove_all(Folder().File(folder));
    Folder().MakeFolder(folder);
  }
  Shown.clear();
  LogCpu.clear();
  LogTicks.clear();
  WaitCpu.clear();
  FClosing = false;
  FSeen = nullptr;
  DrainMessages();
  Application->ResetTerminated();
  MakeProgramWindows();
  Application->SetMainForm(fMain);
  if (c.before) c.before();
  fMain->OnStatus = [this](const std::string& status) { Log("lInfo " + status); };
  fMain->Timer.OnTimer = [this, tick = fMain->Timer.OnTimer](TObject* sender) {
    Log("tick");
    tick(sender);
  };
  std::deque<TAction> answers = c.answers;
  {
    auto driver = Driver([&] { return Step(c, peer, answers); }, c.timeoutMs);
    Application->Run();
    EndMs = TickCount() - FActedTick;
  }
  // The program's end: its windows go, and with them the connection.
  delete fWarn;
  fWarn = nullptr;
  delete fMain;
  fMain = nullptr;
  DiskFull.reset();
  Fault.reset();
  if (peer.Connected()) {
    EXPECT_TRUE(RunLoopUntil([&] { return peer.ComponentClosed(); }, 3000)) << "still connected";
  }
  EXPECT_EQ(Shown, c.log);
  EXPECT_EQ(peer.Lines(), c.commands);
  EXPECT_TRUE(answers.empty()) << answers.size() << " answers left over";
}

void CheckHarness::RunChecks(const std::vector<TCheckCase>& cases) {
  for (const TCheckCase& c : cases) RunCheck(c);
}

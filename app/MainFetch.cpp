// The main window's download: STAT, then UIDL n and RETR n for every message, each into
// its spool file Data0000/<n>.msg, and then the analysis pass.

#include <algorithm>
#include <string>

#include "app/FileErrorBox.h"
#include "app/Main.h"
#include "app/Program.h"
#include "app/SpoolFiles.h"
#include "forms/Application.h"
#include "forms/FileErrors.h"
#include "forms/FileUtils.h"

void TfMain::StartFetch() {
  SpoolDir = Program().Folder() + "/" + SpoolFolder + "/";
  FetchStep = 0;
  SpoolOpen = false;
  SpoolError.clear();
  Pop3.OnRequestDone = [this](TObject* Sender, TPop3Request RqType, std::uint16_t Error) {
    FetchRequestDone(Sender, RqType, Error);
  };
  Pop3.OnMessageBegin = nullptr;
  Pop3.OnMessageEnd = nullptr;
  Pop3.OnMessageLine = [this](TObject* Sender) { Pop3MessageLine(Sender); };
  // STAT's guard would only say that the command is invalid now.
  if (SessionLost()) return ReportLostConnection();
  Pop3.Stat();
}

int TfMain::LastToFetch() const {
  return std::min(Pop3.MsgCount(), LastSpoolNumber);
}

void TfMain::FetchRequestDone(TObject*, TPop3Request, std::uint16_t Error) {
  if (Error != 0 || !SpoolError.empty()) return FetchFailed();
  switch (FetchStep) {
    case 0:
      if (Pop3.MsgCount() < 1) {
        ShowStatus("No new messages in your mailbox.");
        AllFetched = true;
        Timer.SetEnabled(true);
      } else {
        FetchNum = 0;
        FetchNext();
      }
      break;
    case 1:
      FetchMessage();
      break;
    case 2:
      FetchDone();
      break;
    default:
      Application->MessageBox("Invalid state");
  }
}

void TfMain::FetchNext() {
  ++FetchNum;
  FetchStep = 1;
  Pop3.SetMsgNum(FetchNum);
  Pop3.Uidl();
}

// UIDL has answered for message FetchNum.
void TfMain::FetchMessage() {
  Pop3.SetMsgNum(FetchNum);
  SpoolName = SpoolDir + std::to_string(FetchNum) + ".msg";
  if (FileExists(SpoolName)) {
    if (FetchNum < LastToFetch()) return FetchNext();
    AllFetched = true;
    Timer.SetEnabled(true);
    return;
  }
  if (!ReportFileErrors([this] { SpoolFile.Rewrite(SpoolName); })) return;
  SpoolOpen = true;
  FetchStep = 2;
  Pop3.Retr();
}

// RETR has ended for message FetchNum.
void TfMain::FetchDone() {
  SpoolOpen = false;
  if (!ReportFileErrors([this] { SpoolFile.Close(); })) return;
  if (FetchNum < LastToFetch())
    FetchNext();
  else
    CheckAllSpoolFiles();
}

// The open spool file is closed and left on disk for the next start's sweep; no further
// request is made.
void TfMain::FetchFailed() {
  if (SpoolOpen) {
    SpoolOpen = false;
    SpoolFile.CloseQuietly();
  }
  if (SpoolError.empty())
    ReportPop3Error();
  else
    Application->MessageBox(SpoolError);
}

void TfMain::Pop3MessageLine(TObject*) {
  if (!SpoolOpen) return;
  try {
    SpoolFile.WriteLine(Pop3.LastResponse(), Pop3.LineIsContinuation());
  } catch (const EInOutError& e) {
    // The message cannot be kept, so the download ends here, without reading the rest of
    // it. The error is told when the aborted RETR reports, from the loop: a message box
    // shown from inside the client's line handling would run a loop within it.
    SpoolError = e.what();
    SpoolOpen = false;
    SpoolFile.CloseQuietly();
    Pop3.Abort();
  }
}

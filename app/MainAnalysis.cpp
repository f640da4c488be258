// The main window's analysis pass: every spool file examined in number order, each warning
// shown in the warning window, the deletions the user asks for, and the closing QUIT. The
// pass ends as soon as the program has been closed.

#include <string>

#include "app/FileErrorBox.h"
#include "app/Main.h"
#include "app/SpoolFiles.h"
#include "app/Warn.h"
#include "forms/Application.h"
#include "forms/FileUtils.h"
#include "forms/StrUtils.h"

namespace {
// Every label is written, so none keeps the text of the warning before.
int ShowWarning(const TWarning& warning) {
  fWarn->lFrom->SetCaption(warning.From);
  fWarn->lSubj->SetCaption(warning.Subject);
  fWarn->lName->SetCaption(warning.Name);
  fWarn->ll1->SetCaption(warning.Line1);
  fWarn->ll2->SetCaption(warning.Line2);
  return fWarn->ShowModal();
}
}  // namespace

void TfMain::CheckSpoolFile(const std::string& SpoolName, const TDeleteOperation& Delete) {
  TSpoolAnalysis analysis;
  analysis.OnWarn = ShowWarning;
  analysis.Stopped = [] { return Application->Terminated(); };
  analysis.CheckSpoolFile(SpoolName, Delete);
}

void TfMain::CheckAllSpoolFiles() {
  Pop3.OnRequestDone = [this](TObject* Sender, TPop3Request RqType, std::uint16_t Error) {
    Pop3RequestDone(Sender, RqType, Error);
  };
  if (!CheckSpoolFiles()) return;
  ShowStatus("Checking finished.");
  Pop3.Quit();
}

bool TfMain::CheckSpoolFiles() {
  const TDeleteOperation deleteMessage = [this](const std::string& name) { DeleteMessage(name); };
  for (int n = 1; n <= LastSpoolNumber && !Application->Terminated(); ++n) {
    if (!FileExists(SpoolPath(n))) break;
    // A scratch file that cannot be created, or a spool file that cannot be read, ends the
    // pass with the error shown, and without QUIT.
    if (!ReportFileErrors([&] { CheckSpoolFile(::SpoolName(n), deleteMessage); })) return false;
    if (Application->Terminated()) break;
    DeleteFile(SpoolPath(n));
  }
  return !Application->Terminated();
}

void TfMain::DeleteMessage(const std::string& SpoolName) {
  Pop3.SetMsgNum(StrToInt(Copy(SpoolName, 1, static_cast<std::int64_t>(SpoolName.size()) - 4)));
  Deleting = true;
  ShowStatus("Deleting the message...");
  try {
    Pop3.Dele();
  } catch (const Pop3Exception&) {
    // The connection is gone: the deletion fails as a refused one does, unreported.
    Deleting = false;
  }
  // Pop3RequestDone ends the wait. HandleMessage sleeps in the loop's poll() until the
  // next message, and closing the program ends the wait too, with nothing more sent.
  while (Deleting && !Application->Terminated()) Application->HandleMessage();
  if (Application->Terminated()) return;
  // A refused deletion goes unreported, as the second one for a message is refused. One lost
  // with the connection never takes effect, as no QUIT can follow it: the user is told, and
  // the analysis goes on.
  if (SessionLost()) ReportLostConnection();
  ShowStatus("Continue checking...");
}

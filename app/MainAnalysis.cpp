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
constexpr char kDeletionsLost[] =
    "The connection to your mailbox was lost before the check ended, so the messages you "
    "chose to delete are still on the server.";

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
  // A lost or refused deletion is not told during the pass, which goes on as after a
  // successful one. But the server deletes only at QUIT, and a connection that is gone by now
  // takes every chosen deletion with it: the user would believe those messages gone.
  if (DeleteChosen && SessionLost()) Application->MessageBox(kDeletionsLost);
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
  DeleteChosen = true;
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
  if (!Application->Terminated()) ShowStatus("Continue checking...");
}

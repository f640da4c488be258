// The main window's side of the message analysis: each warning is shown in the warning
// window, and the analysis ends once the program has been closed.

#include "app/Main.h"
#include "app/Warn.h"
#include "forms/Application.h"

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

#pragma once
// The warning window fWarn: one suspicious attachment's sender, subject, name and two
// verdict lines, filled in by the main window before each showing. It only reports the
// user's choice as its modal result: 1 to delete the message, 2 to continue (Continue,
// the close button, Enter and Esc).

#include "forms/Form.h"
#include "forms/Label.h"

class TfWarn : public TForm {
 public:
  explicit TfWarn(TComponent* AOwner);

  TLabel* lFrom;
  TLabel* lSubj;
  TLabel* lName;
  TLabel* ll1;
  TLabel* ll2;

  void FormCreate(TObject* Sender);
  void qDelClick(TObject* Sender);
  void qConClick(TObject* Sender);
  void IButton2Click(TObject* Sender);
};

// The one warning window of the run, made at start-up and reused for every warning.
extern TfWarn* fWarn;

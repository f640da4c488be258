#pragma once
// The settings window fSetup: the four mailbox settings in edit fields. Save writes them to
// the settings file and ends the showing with 1; Cancel and the close button end it with 2
// and leave the file alone. Its callers make a new one for each showing (EditSettings).

#include "app/SettingsFile.h"
#include "forms/Edit.h"
#include "forms/Form.h"

class TfSetup : public TForm {
 public:
  explicit TfSetup(TComponent* AOwner);

  TEdit* eServ;
  TEdit* ePort;
  TEdit* eUser;
  TEdit* ePass;

  void FormCreate(TObject* Sender);
  // Save.
  void QnButton1Click(TObject* Sender);
  // Cancel.
  void QnButton2Click(TObject* Sender);
  void IButton2Click(TObject* Sender);

 private:
  TMailboxSettings Fields() const;
};

// Shows a new settings window, its fields filled with settings, and gives its modal result.
int EditSettings(const TMailboxSettings& settings);

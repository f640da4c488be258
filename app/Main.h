#pragma once
// The main window fMain: a small status window that runs one mail check when it first
// appears. It holds the POP3 client the check drives, with the mailbox settings as its
// Host, Port, UserName and PassWord, and the one-second Timer that separates the check's
// phases. Closing it (its close button or Esc) ends the program; no QUIT is sent.

#include <string>

#include "app/SettingsFile.h"
#include "app/SpoolAnalysis.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/Timer.h"
#include "pop3/Pop3Cli.h"

class TfMain : public TForm {
 public:
  explicit TfMain(TComponent* AOwner);

  TLabel* lInfo;  // the status line
  TPop3Cli Pop3;
  TTimer Timer;

  // Reads the settings file into Pop3's Host, Port, UserName and PassWord. File errors
  // raise EInOutError ("File not found").
  void LoadSettings();
  // Pop3's four settings, as LoadSettings left them.
  TMailboxSettings Settings() const;

  // Sets the look and sweeps the spool files an earlier run left behind.
  void FormCreate(TObject* Sender);
  // Runs the mail check, once the settings are complete.
  void FormActivate(TObject* Sender);
  void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
  void IButton2Click(TObject* Sender);

  // Examines Data0000/<SpoolName>, showing the warning window fWarn for every attachment
  // with something to say and calling Delete when the user asks for the deletion.
  void CheckSpoolFile(const std::string& SpoolName, const TDeleteOperation& Delete);

 private:
  // Reads the settings, and asks for them while one is missing; false when the check must
  // not start (the file could not be read, or the user did not save).
  bool SettingsReady();
  // LoadSettings, its failure shown in a message box.
  bool ReadSettings();
};

// The main window of the run, made first at start-up.
extern TfMain* fMain;

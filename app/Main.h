#pragma once
// The main window fMain: a small status window that runs one mail check when it first
// appears. It holds the POP3 client the check drives, with the mailbox settings as its
// Host, Port, UserName and PassWord, and the one-second Timer that separates the check's
// phases. Closing it (its close button or Esc) ends the program; no QUIT is sent.

#include <cstdint>
#include <functional>
#include <string>

#include "app/SettingsFile.h"
#include "app/SpoolAnalysis.h"
#include "app/SpoolFile.h"
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

  // The check is a chain of Pop3's OnRequestDone handlers: Pop3RequestDone while connecting
  // and logging in and again from the analysis pass on, FetchRequestDone during the
  // download. Timer separates the login from the download, and the download from the
  // analysis pass when the last message needed no download.
  void Pop3RequestDone(TObject* Sender, TPop3Request RqType, std::uint16_t Error);
  void TimerTimer(TObject* Sender);
  void StartFetch();
  void FetchRequestDone(TObject* Sender, TPop3Request RqType, std::uint16_t Error);
  void Pop3MessageLine(TObject* Sender);
  // The analysis of spool files 1, 2, ... in turn, then "Checking finished." and QUIT.
  void CheckAllSpoolFiles();
  // Deletes on the server the message of the spool file "<n>.msg" and returns once the
  // request has completed, successful or not, or the program has been closed.
  void DeleteMessage(const std::string& SpoolName);

  // Told every text the status line shows, as it shows it.
  std::function<void(const std::string& Status)> OnStatus;

 private:
  void ShowStatus(const std::string& Text);
  // The failed request's "Error " + ErrorMessage in a message box; the check stops.
  void ReportPop3Error();
  // The server hung up in the pause before STAT, where no request waits to report it: told
  // in the words of a connection lost during a request, and the check stops.
  void ReportLostConnection();
  bool SessionLost() const { return Pop3.ProtocolState() == pop3Disconnected; }
  // Messages above LastSpoolNumber are never examined nor swept, so the download leaves
  // them on the server untouched: fetching them would only cost time and leave spool files
  // that no run removes.
  int LastToFetch() const;
  void FetchFailed();
  void FetchNext();
  void FetchMessage();
  void FetchDone();
  // The analysis of the spool files; false when it ended early (the program was closed, or
  // a file error was shown).
  bool CheckSpoolFiles();

  // Reads the settings, and asks for them while one is missing; false when the check must
  // not start (the file could not be read, or the user did not save).
  bool SettingsReady();
  // LoadSettings, its failure shown in a message box.
  bool ReadSettings();

  TSpoolFile SpoolFile;   // the spool file being written
  std::string SpoolName;  // its full path
  bool SpoolOpen = false;
  // What the download waits for: 0 the STAT reply, 1 the UIDL reply for message FetchNum,
  // 2 the end of its RETR.
  int FetchStep = 0;
  // The number of the message in hand, as the check sent it: the number a server echoes in
  // its UIDL reply is not taken, so a reply that names another message can neither send
  // the download round in circles nor file one message under another's number.
  int FetchNum = 0;
  // The text of a spool file write that failed during a RETR, told once the RETR has ended.
  std::string SpoolError;
  std::string SpoolDir;
  bool Connecting = false;    // Connect requested and the login not yet accepted
  bool LoggingIn = false;     // PASS sent and its success not yet handled
  bool AllFetched = false;    // the next tick starts the analysis pass
  bool Deleting = false;      // DeleteMessage awaits its request
  bool DeleteChosen = false;  // a deletion was asked for; only the QUIT makes it happen
};

// The main window of the run, made first at start-up.
extern TfMain* fMain;

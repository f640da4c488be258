// The main window's check up to the download: the greeting, USER and PASS, each handled
// when the request before it has completed, and the one-second pause before STAT.

#include "app/Main.h"
#include "forms/Application.h"

void TfMain::Pop3RequestDone(TObject*, TPop3Request, std::uint16_t Error) {
  // A refused USER or PASS leaves the protocol state as it was: acting on it regardless
  // would send the same command again, without end.
  const TPop3ProtocolState state = Pop3.ProtocolState();
  if (Error == 0 && state == pop3WaitingUser) {
    ShowStatus("Logging in...");
    Pop3.User();
  }
  if (Error == 0 && state == pop3WaitingPass) {
    LoggingIn = true;
    Pop3.Pass();
  }
  if (Error == 0 && state == pop3Transaction && LoggingIn) {
    ShowStatus("Checking your mail... Please wait.");
    LoggingIn = false;
    Connecting = false;
    Timer.SetEnabled(true);
  }
  // A connection that could not be made, or a login the server refused, would otherwise
  // leave the status as it was for ever, with nothing said.
  if (Error != 0 && Connecting) {
    Connecting = false;
    LoggingIn = false;
    ReportPop3Error();
  }
  // A refused deletion ends the wait just as an accepted one.
  if (Deleting) Deleting = false;
}

void TfMain::TimerTimer(TObject*) {
  Timer.SetEnabled(false);
  if (AllFetched)
    CheckAllSpoolFiles();
  else
    StartFetch();
}

void TfMain::ReportPop3Error() {
  Application->MessageBox("Error " + Pop3.ErrorMessage());
}

void TfMain::ReportLostConnection() {
  Application->MessageBox(std::string("Error ") + Pop3DisconnectedText);
}

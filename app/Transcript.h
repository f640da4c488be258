#pragma once
// The run without a display, followed on the terminal. The program's windows run on the
// in-memory screen as they would on an X server; this piece watches them through a few
// hooks (a window shown, a modal showing ended, the main window's status, the POP3
// client's events) and
//   - writes every window as it appears (WindowText), each status line as "  lInfo: ...",
//     the download's progress, and the answer each window took;
//   - answers the windows with real input on the in-memory screen, so their own handlers
//     run: a warning from --answer or from a line of input ("d" deletes, "c" or an empty
//     line continues), the settings window's four fields from four lines (an empty line
//     keeps what the field holds) followed by Enter, a message box with Enter. An input
//     that has ended continues a warning and cancels the settings window;
//   - saves a picture of every window shown, and of the main window at the end;
//   - ends the run where the main window would only wait to be closed: once the QUIT after
//     "Checking finished." has completed, or once an error box has stopped the check.

#include <iosfwd>

#include "app/ConsoleInput.h"
#include "app/ConsoleOutput.h"
#include "app/DownloadProgress.h"
#include "app/ProgramOptions.h"
#include "app/Screenshots.h"
#include "platform/Messages.h"

class TForm;
class TfMain;

// The terminal of a run without a display.
struct TConsole {
  int Input;  // where the answers come from; -1: nowhere
  std::ostream& Output;
  std::ostream& Errors;
  bool InputIsTerminal = false;   // each question is prompted for
  bool OutputIsTerminal = false;  // the download's progress is one line rewritten in place
};

class TTranscript {
 public:
  TTranscript(const TConsole& console, const TProgramOptions& options, TfMain& main);
  ~TTranscript();
  TTranscript(const TTranscript&) = delete;
  TTranscript& operator=(const TTranscript&) = delete;

  // An error box stopped the check and so ended the run.
  bool CheckFailed() const { return FCheckFailed; }

 private:
  // Posted to the transcript's own window: look again once the input just given has been
  // taken, or once the QUIT has been sent.
  static constexpr UINT WM_TRANSCRIPT_CHECK = WM_USER + 0x3B0;
  static constexpr WPARAM kCheckSettings = 0;
  static constexpr WPARAM kCheckLoggedOut = 1;

  void Shown(TForm* window);
  void ModalEnded(TForm* window, int result);
  void StatusShown();
  void EndIfLoggedOut();
  void EndRun(bool failed);

  // TranscriptAnswers.cpp: questions and their answers.
  void Ask(TForm* window);
  void AnswerFromInput();
  bool TakeWarningAnswer(const std::string& line);
  void TakeSettingsLine(const std::string& line);
  void AnswerWarning(bool remove);
  void AnswerInputClosed();
  void PromptField();
  void AskSettingsAgain();
  void Click(TForm* window, const char* control);
  void Key(TForm* window, int key, bool ctrl = false);
  void TypeInto(TForm* window, const char* field, const std::string& text);

  TConsoleOutput FOut;
  TConsoleInput FIn;
  TScreenshots FShots;
  TProgramOptions FOptions;
  TfMain& FMain;
  TDownloadProgress FProgress;
  HWND FWindow = 0;            // where the transcript posts its checks to itself
  TForm* FAsking = nullptr;    // the window that waits for a line of input
  TForm* FSettings = nullptr;  // the settings window while it shows
  int FField = 0;              // the settings field the next line goes to
  bool FFinishing = false;     // "Checking finished." shown, QUIT sent
  bool FEnded = false;
  bool FCheckFailed = false;
};

#include "app/Transcript.h"

#include "app/Main.h"
#include "app/WindowText.h"
#include "forms/Application.h"
#include "platform/MessageLoop.h"

namespace {
constexpr char kFinished[] = "Checking finished.";
}  // namespace

TTranscript::TTranscript(const TConsole& console, const TProgramOptions& options, TfMain& main)
    : FOut(console.Output, console.OutputIsTerminal, console.InputIsTerminal),
      FIn(console.Input),
      FShots(options.ScreenshotDir, console.Errors),
      FOptions(options),
      FMain(main),
      FProgress(main.Pop3, FOut) {
  FWindow = AllocateHWnd([this](UINT msg, WPARAM wParam, LPARAM) -> LRESULT {
    if (msg == WM_TRANSCRIPT_CHECK && wParam == kCheckSettings) AskSettingsAgain();
    if (msg == WM_TRANSCRIPT_CHECK && wParam == kCheckLoggedOut) EndIfLoggedOut();
    return 0;
  });
  FIn.OnChange = [this] { AnswerFromInput(); };
  Application->OnFormShown = [this](TForm* window) { Shown(window); };
  Application->OnModalEnd = [this](TForm* window, int result) { ModalEnded(window, result); };
  FMain.OnStatus = [this](const std::string&) { StatusShown(); };
  FMain.Pop3.OnStateChange = [this](TObject*) { EndIfLoggedOut(); };
}

TTranscript::~TTranscript() {
  FMain.Pop3.OnStateChange = nullptr;
  FMain.OnStatus = nullptr;
  Application->OnModalEnd = nullptr;
  Application->OnFormShown = nullptr;
  DestroyWindow(FWindow);
}

void TTranscript::Shown(TForm* window) {
  for (const std::string& line : WindowLines(*window)) FOut.Line(line);
  FShots.Take(*window);
  if (window->InModal()) Ask(window);
}

void TTranscript::StatusShown() {
  FOut.Line(ControlLine(FMain.lInfo->Name(), FMain.lInfo->ShownText()));
  if (FMain.lInfo->Caption() != kFinished) return;
  // The QUIT that follows commits the deletions; the run ends once it has completed.
  FFinishing = true;
  PostMessage(FWindow, WM_TRANSCRIPT_CHECK, kCheckLoggedOut, 0);
}

void TTranscript::EndIfLoggedOut() {
  if (FFinishing && FMain.Pop3.State() == pop3Idle) EndRun(false);
}

// Closing the main window is what its user would do now; its own Close ends the program.
void TTranscript::EndRun(bool failed) {
  if (FEnded) return;
  FEnded = true;
  FCheckFailed = failed;
  FShots.Take(FMain);
  FMain.Close();
}

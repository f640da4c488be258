#include "app/ProgramMain.h"

#include <cstdlib>
#include <iostream>
#include <optional>

#include "app/FileErrorBox.h"
#include "app/Main.h"
#include "app/Program.h"
#include "app/ProgramOptions.h"
#include "app/Setup.h"
#include "app/StartUp.h"
#include "app/Transcript.h"
#include "app/VerdanaFont.h"
#include "app/Warn.h"
#include "forms/Application.h"
#include "forms/CommandLine.h"
#include "platform/display/DisplayBackend.h"

namespace {

// The main and warning windows live as long as the run; at its end they go before the
// font they are drawn with.
class TWindowsOfTheRun {
 public:
  TWindowsOfTheRun() = default;
  TWindowsOfTheRun(const TWindowsOfTheRun&) = delete;
  TWindowsOfTheRun& operator=(const TWindowsOfTheRun&) = delete;
  ~TWindowsOfTheRun() {
    delete fWarn;
    fWarn = nullptr;
    delete fMain;
    fMain = nullptr;
  }
};

// The settings window alone; the main window is never shown and no connection is made.
// The window saves the file itself, so its modal result does not matter here.
int SettingsOnly() {
  if (!ReportFileErrors([] { fMain->LoadSettings(); })) return ExitSettingsUnreadable;
  EditSettings(fMain->Settings());
  return ExitOk;
}

}  // namespace

bool OpenDisplay(std::ostream& err) {
  auto backend = CreateDisplayBackend();
  const bool x11 = backend->Name() == "x11";
  const char* name = std::getenv("DISPLAY");
  if (!x11 && name && *name)
    err << "quillet: no X display could be opened at DISPLAY=" << name
        << "; Quillet runs without one and writes what its windows show to standard output.\n";
  SetDisplay(std::move(backend));
  return x11;
}

int ProgramMain(const std::string& exePath, const TConsole* console) {
  TProgramOptions options;
  if (!ReadProgramOptions(options, console ? console->Errors : std::cerr)) return ExitBadOption;
  EnterProgramFolder(exePath);
  Program().MeasureScreenColorBits();
  Application->SetHelpFile(HelpFileName);
  TVerdanaFont verdana;
  Application->SetTitle(ApplicationTitle);
  TWindowsOfTheRun windows;
  Application->CreateForm(fMain);
  Application->CreateForm(fWarn);
  std::optional<TTranscript> transcript;
  if (console) transcript.emplace(*console, options, *fMain);
  if (ParamCount() > 0) return SettingsOnly();
  Application->Run();
  return transcript && transcript->CheckFailed() ? ExitCheckFailed : ExitOk;
}

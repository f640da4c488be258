#include "app/ProgramMain.h"

#include <cstdlib>
#include <ostream>

#include "app/FileErrorBox.h"
#include "app/Main.h"
#include "app/Program.h"
#include "app/Setup.h"
#include "app/StartUp.h"
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

bool UseX11Display(std::ostream& err) {
  auto backend = CreateDisplayBackend();
  if (backend->Name() != "x11") {
    const char* name = std::getenv("DISPLAY");
    err << "quillet: no X display could be opened"
        << (name && *name ? std::string(" at DISPLAY=") + name
                          : std::string(": DISPLAY is not set"))
        << ". Quillet shows its windows on an X server; start it in a desktop session.\n";
    return false;
  }
  SetDisplay(std::move(backend));
  return true;
}

int ProgramMain(const std::string& exePath) {
  EnterProgramFolder(exePath);
  Program().MeasureScreenColorBits();
  Application->SetHelpFile(HelpFileName);
  TVerdanaFont verdana;
  Application->SetTitle(ApplicationTitle);
  TWindowsOfTheRun windows;
  Application->CreateForm(fMain);
  Application->CreateForm(fWarn);
  if (ParamCount() > 0) return SettingsOnly();
  Application->Run();
  return ExitOk;
}

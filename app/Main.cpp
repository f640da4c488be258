#include "app/Main.h"

#include "app/FileErrorBox.h"
#include "app/Program.h"
#include "app/ProgramPictures.h"
#include "app/Setup.h"
#include "app/SpoolFiles.h"
#include "forms/FileUtils.h"
#include "ui/CreationLook.h"
#include "ui/LayoutBuilder.h"
#include "ui/WindowLayouts.h"

TfMain* fMain = nullptr;

TfMain::TfMain(TComponent* AOwner) : TForm(AOwner) {
  BuildLayout(this, MainLayout(),
              {{"FormCreate", Handler(this, &TfMain::FormCreate)},
               {"FormActivate", Handler(this, &TfMain::FormActivate)},
               {"FormKeyDown", Handler(this, &TfMain::FormKeyDown)},
               {"IButton2Click", Handler(this, &TfMain::IButton2Click)}},
              ProgramPicture);
  lInfo = FindControl<TLabel>(this, "lInfo");
  Pop3.SetPort("pop3");
  Pop3.SetMsgLines(0);
  Pop3.SetMsgNum(0);
  Pop3.SetTag(0);
  Pop3.OnRequestDone = [this](TObject* Sender, TPop3Request RqType, std::uint16_t Error) {
    Pop3RequestDone(Sender, RqType, Error);
  };
  Timer.SetEnabled(false);
  Timer.SetInterval(1000);
  Timer.OnTimer = [this](TObject* Sender) { TimerTimer(Sender); };
}

void TfMain::LoadSettings() {
  const TMailboxSettings settings = ReadSettingsFile();
  Pop3.SetHost(settings.Host);
  Pop3.SetPort(settings.Port);
  Pop3.SetUserName(settings.UserName);
  Pop3.SetPassWord(settings.PassWord);
}

TMailboxSettings TfMain::Settings() const {
  return {Pop3.Host(), Pop3.Port(), Pop3.UserName(), Pop3.PassWord()};
}

void TfMain::FormCreate(TObject*) {
  ApplyCreationLook(this, ScreenColorBits());
  for (int n = 1; n <= LastSpoolNumber; ++n)
    if (FileExists(SpoolPath(n))) DeleteFile(SpoolPath(n));
}

void TfMain::FormActivate(TObject*) {
  if (!SettingsReady()) return;
  LoggingIn = false;
  AllFetched = false;
  Deleting = false;
  DeleteChosen = false;
  Connecting = true;
  ShowStatus("Connecting to your mailbox...");
  Pop3.Connect();
}

void TfMain::ShowStatus(const std::string& Text) {
  lInfo->SetCaption(Text);
  if (OnStatus) OnStatus(Text);
}

bool TfMain::ReadSettings() {
  return ReportFileErrors([this] { LoadSettings(); });
}

bool TfMain::SettingsReady() {
  if (!ReadSettings()) return false;
  if (Settings().Complete()) return true;
  if (EditSettings(Settings()) != mrOk) {
    Close();
    return false;
  }
  return ReadSettings();
}

void TfMain::FormKeyDown(TObject*, WORD& Key, TShiftState) {
  if (Key == VK_ESCAPE) Close();
}

void TfMain::IButton2Click(TObject*) {
  Close();
}

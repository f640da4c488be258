#include "app/Setup.h"

#include <memory>

#include "app/FileErrorBox.h"
#include "app/Program.h"
#include "app/ProgramPictures.h"
#include "ui/CreationLook.h"
#include "ui/LayoutBuilder.h"
#include "ui/WindowLayouts.h"

TfSetup::TfSetup(TComponent* AOwner) : TForm(AOwner) {
  BuildLayout(this, SetupLayout(),
              {{"FormCreate", Handler(this, &TfSetup::FormCreate)},
               {"QnButton1Click", Handler(this, &TfSetup::QnButton1Click)},
               {"QnButton2Click", Handler(this, &TfSetup::QnButton2Click)},
               {"IButton2Click", Handler(this, &TfSetup::IButton2Click)}},
              ProgramPicture);
  eServ = FindControl<TEdit>(this, "eServ");
  ePort = FindControl<TEdit>(this, "ePort");
  eUser = FindControl<TEdit>(this, "eUser");
  ePass = FindControl<TEdit>(this, "ePass");
}

void TfSetup::FormCreate(TObject*) {
  ApplyCreationLook(this, ScreenColorBits());
}

TMailboxSettings TfSetup::Fields() const {
  return {eServ->Text(), ePort->Text(), eUser->Text(), ePass->Text()};
}

// An empty field refuses the save without a word; the window stays open for it.
void TfSetup::QnButton1Click(TObject*) {
  const TMailboxSettings settings = Fields();
  if (!settings.Complete()) return;
  if (ReportFileErrors([&] { WriteSettingsFile(settings); })) SetModalResult(mrOk);
}

void TfSetup::QnButton2Click(TObject*) {
  SetModalResult(mrCancel);
}

void TfSetup::IButton2Click(TObject*) {
  SetModalResult(mrCancel);
}

int EditSettings(const TMailboxSettings& settings) {
  auto fSetup = std::make_unique<TfSetup>(nullptr);
  fSetup->AfterConstruction();
  fSetup->eServ->SetText(settings.Host);
  fSetup->ePort->SetText(settings.Port);
  fSetup->eUser->SetText(settings.UserName);
  fSetup->ePass->SetText(settings.PassWord);
  return fSetup->ShowModal();
}

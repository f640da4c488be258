#include "app/Warn.h"

#include "app/Program.h"
#include "app/ProgramPictures.h"
#include "ui/CreationLook.h"
#include "ui/LayoutBuilder.h"
#include "ui/WindowLayouts.h"

TfWarn* fWarn = nullptr;

TfWarn::TfWarn(TComponent* AOwner) : TForm(AOwner) {
  BuildLayout(this, WarnLayout(),
              {{"FormCreate", Handler(this, &TfWarn::FormCreate)},
               {"qDelClick", Handler(this, &TfWarn::qDelClick)},
               {"qConClick", Handler(this, &TfWarn::qConClick)},
               {"IButton2Click", Handler(this, &TfWarn::IButton2Click)}},
              ProgramPicture);
  lFrom = FindControl<TLabel>(this, "lFrom");
  lSubj = FindControl<TLabel>(this, "lSubj");
  lName = FindControl<TLabel>(this, "lName");
  ll1 = FindControl<TLabel>(this, "ll1");
  ll2 = FindControl<TLabel>(this, "ll2");
}

void TfWarn::FormCreate(TObject*) {
  ApplyCreationLook(this, ScreenColorBits());
}

void TfWarn::qDelClick(TObject*) {
  SetModalResult(mrOk);
}

void TfWarn::qConClick(TObject*) {
  SetModalResult(mrCancel);
}

void TfWarn::IButton2Click(TObject*) {
  SetModalResult(mrCancel);
}

#include "ui/LayoutBuilder.h"

#include "forms/Edit.h"
#include "ui/CLabel.h"
#include "ui/IButton.h"
#include "ui/QnButton.h"
#include "ui/QnGroupBox.h"
#include "ui/Title.h"

namespace {
using enum TControlKind;

class TLoadingScope {
 public:
  explicit TLoadingScope(TComponent* component) : FComponent(component) {
    FComponent->BeginLoading();
  }
  ~TLoadingScope() { FComponent->EndLoading(); }
  TLoadingScope(const TLoadingScope&) = delete;
  TLoadingScope& operator=(const TLoadingScope&) = delete;

 private:
  TComponent* FComponent;
};

TControl* NewControl(TControlKind kind, TForm* owner) {
  switch (kind) {
    case Panel:
      return new TQnGroupBox(owner);
    case HoverButton:
      return new TQnButton(owner);
    case PictureButton:
      return new TIButton(owner);
    case TitlePicture:
      return new TTitle(owner);
    case CaptionLabel:
      return new TCLabel(owner);
    case StandardLabel:
      return new TLabel(owner);
    case EditBox:
      return new TEdit(owner);
    case PictureBox:
      return new TImage(owner);
  }
  throw ELayoutError("Unknown kind of control");
}

void ApplyWindow(TForm* form, const TWindowProps& w, THandlerBinding& handlers) {
  form->SetName(std::string(w.Name));
  form->SetCaption(std::string(w.Caption));
  form->SetClientWidth(w.ClientWidth);
  form->SetClientHeight(w.ClientHeight);
  form->SetColor(w.Color);
  AssignFont(form, w.Font);
  form->SetHelpContext(w.HelpContext);
  form->SetPosition(w.Position);
  form->OnCreate = handlers.Get<TNotifyEvent>(w.OnCreate);
  form->OnActivate = handlers.Get<TNotifyEvent>(w.OnActivate);
  form->OnKeyDown = handlers.Get<TKeyEvent>(w.OnKeyDown);
}

TWinControl* ParentOf(TForm* form, const TControlRow& row) {
  if (row.Parent == kWindow) return form;
  auto* parent = dynamic_cast<TWinControl*>(form->FindComponent(std::string(row.Parent)));
  if (!parent)
    throw ELayoutError("The parent " + std::string(row.Parent) + " of " + std::string(row.Name) +
                       " is no container made before it");
  return parent;
}

void MakeControl(TForm* form, const TControlRow& row, TBuildContext& context) {
  const std::string name(row.Name);
  if (name.empty() || form->FindComponent(name))
    throw ELayoutError("The control name \"" + name + "\" is empty or used twice");
  TWinControl* parent = ParentOf(form, row);
  TControl* control = NewControl(row.Kind, form);
  control->SetName(name);
  control->SetParent(parent);
  control->SetBounds(row.Left, row.Top, row.Width, row.Height);
  ApplyRow(control, row, context);
}
}  // namespace

void BuildLayout(TForm* form, const TWindowLayout& layout, const THandlers& handlers,
                 const TPictureSource& pictures) {
  THandlerBinding binding(handlers);
  TBuildContext context{binding, pictures};
  {
    TLoadingScope loading(form);
    ApplyWindow(form, layout.Form, binding);
    for (const TControlRow& row : layout.Controls) MakeControl(form, row, context);
  }
  binding.CheckAllUsed();
}

void ControlNotFound(std::string_view name) {
  throw ELayoutError("The window has no control " + std::string(name) + " of that type");
}

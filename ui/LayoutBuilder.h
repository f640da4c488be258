#pragma once
// Builds a window from its layout. A window class calls BuildLayout in its constructor with
// its handlers and pictures, then reaches its controls by name:
//
//   TfSetup::TfSetup(TComponent* AOwner) : TForm(AOwner) {
//     BuildLayout(this, SetupLayout(),
//                 {{"FormCreate", Handler(this, &TfSetup::FormCreate)}, ...}, Pictures);
//     eServ = FindControl<TEdit>(this, "eServ");
//   }

#include <string>
#include <string_view>

#include "forms/Form.h"
#include "ui/ControlSettings.h"

// Gives form the window properties of layout and makes its controls, owned by form, in the
// layout's order. The window is marked as loading meanwhile, so nothing sizes itself to a
// half-built layout. Raises ELayoutError for a handler or picture that is not supplied, a
// handler supplied that the layout does not name, and a row that cannot be built (a parent
// not made before it, a name used twice).
void BuildLayout(TForm* form, const TWindowLayout& layout, const THandlers& handlers,
                 const TPictureSource& pictures);

[[noreturn]] void ControlNotFound(std::string_view name);

// The control of that name, of that type; ELayoutError when there is none.
template <class T>
T* FindControl(const TComponent* owner, std::string_view name) {
  auto* control = dynamic_cast<T*>(owner->FindComponent(std::string(name)));
  if (!control) ControlNotFound(name);
  return control;
}

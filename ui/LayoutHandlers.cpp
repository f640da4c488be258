#include "ui/LayoutHandlers.h"

void THandlerBinding::Missing(std::string_view name) {
  throw ELayoutError("The window supplies no handler " + std::string(name) +
                     " of the kind its layout asks for");
}

void THandlerBinding::CheckAllUsed() const {
  for (const auto& [name, handler] : FHandlers)
    if (!FUsed.contains(name))
      throw ELayoutError("The handler " + name + " is named nowhere in the window's layout");
}

#include "forms/Clipboard.h"

#include "platform/display/DisplayBackend.h"

std::string TClipboard::AsText() const {
  std::string text;
  if (!TheDisplay().GetClipboardText(text)) text.clear();
  return text;
}

void TClipboard::SetAsText(const std::string& value) {
  TheDisplay().SetClipboardText(value);
}

bool TClipboard::HasText() const {
  return !AsText().empty();
}

void TClipboard::Clear() {
  TheDisplay().SetClipboardText("");
}

TClipboard* Clipboard() {
  static TClipboard clipboard;
  return &clipboard;
}

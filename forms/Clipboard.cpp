#include "forms/Clipboard.h"

TClipboard* Clipboard() {
  static TClipboard clipboard;
  return &clipboard;
}

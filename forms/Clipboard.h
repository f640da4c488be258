#pragma once
// The program's clipboard for text. It lives in the display backend, so on X11 other
// programs see what was copied here and the other way round; on the headless display it
// is kept in memory and copy and paste work between the fields of this program.

#include <string>

class TClipboard {
 public:
  // Empty when the clipboard holds no text (or its owner did not answer in time).
  std::string AsText() const;
  void SetAsText(const std::string& value);
  bool HasText() const;
  void Clear();
};

TClipboard* Clipboard();

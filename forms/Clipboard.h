#pragma once
// The program's clipboard for text. The display layer offers no system clipboard, so copy
// and paste work between the fields of this program.

#include <string>

class TClipboard {
 public:
  const std::string& AsText() const { return FText; }
  void SetAsText(const std::string& value) { FText = value; }
  bool HasText() const { return !FText.empty(); }
  void Clear() { FText.clear(); }

 private:
  std::string FText;
};

TClipboard* Clipboard();

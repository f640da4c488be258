#include "app/WindowText.h"

#include <algorithm>

#include "forms/Form.h"
#include "forms/Label.h"
#include "ui/QnButton.h"

namespace {

// A hover button draws its caption as it is; a label, caption labels included, without its
// accelerator prefixes. Nothing else of the window carries text worth a line.
bool ShownText(const TComponent* component, std::string& text) {
  if (const auto* button = dynamic_cast<const TQnButton*>(component)) {
    text = button->Caption();
    return true;
  }
  if (const auto* label = dynamic_cast<const TLabel*>(component)) {
    text = label->ShownText();
    return true;
  }
  return false;
}

}  // namespace

std::string ControlLine(const std::string& name, const std::string& text) {
  std::string line = "  ";
  line += name;
  line += ':';
  const std::string indent(line.size(), ' ');
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    if (start > 0) {
      line += '\n';
      line += indent;
    }
    if (end > start) {
      line += ' ';
      line.append(text, start, end - start);
    }
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return line;
}

std::vector<std::string> WindowLines(const TForm& window) {
  std::vector<std::string> lines{"[" + window.Caption() + "]"};
  for (int i = 0; i < window.ComponentCount(); ++i) {
    const TComponent* component = window.Components(i);
    std::string text;
    if (ShownText(component, text)) lines.push_back(ControlLine(component->Name(), text));
  }
  return lines;
}

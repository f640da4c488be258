#include "app/ConsoleOutput.h"

#include <ostream>

void TConsoleOutput::EndOpenLine() {
  if (FOpenWidth == 0) return;
  FOut << "\n";
  FOpenWidth = 0;
}

void TConsoleOutput::Line(const std::string& text) {
  EndOpenLine();
  FOut << text << "\n" << std::flush;
}

void TConsoleOutput::Prompt(const std::string& text) {
  if (!FPrompts) return;
  EndOpenLine();
  FOut << text << std::flush;
}

void TConsoleOutput::Progress(const std::string& text, bool final) {
  if (!FTerminal) {
    if (final) Line(text);
    return;
  }
  // Spaces wipe what a longer report before left standing.
  FOut << "\r" << text;
  if (text.size() < FOpenWidth) FOut << std::string(FOpenWidth - text.size(), ' ');
  FOut << std::flush;
  FOpenWidth = text.empty() ? 1 : text.size();
}

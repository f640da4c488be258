#pragma once
// The transcript's lines on standard output, and a progress report that a terminal shows
// as one line rewritten in place, while a file or a pipe gets each finished item once.

#include <cstddef>
#include <iosfwd>
#include <string>

class TConsoleOutput {
 public:
  // terminal: the output is one, and takes a progress line rewritten in place; prompts:
  // someone types at a terminal, and is shown what is asked for.
  TConsoleOutput(std::ostream& out, bool terminal, bool prompts)
      : FOut(out), FTerminal(terminal), FPrompts(prompts) {}

  void Line(const std::string& text);
  // A prompt, left open for what the user types after it, when there is someone to read it.
  void Prompt(const std::string& text);
  // final: the report of an item that is done (on a terminal it is rewritten by the next).
  void Progress(const std::string& text, bool final);

 private:
  void EndOpenLine();

  std::ostream& FOut;
  bool FTerminal;
  bool FPrompts;
  std::size_t FOpenWidth = 0;  // the width of the progress line open on the terminal, or 0
};

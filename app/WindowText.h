#pragma once
// What a window shows in words, for the transcript of a run without a display: its caption,
// then each label, caption label and hover button in the order the window made them, with
// its text as drawn.

#include <string>
#include <vector>

class TForm;

// "[<caption>]", then "  <name>: <text>" per control. A text of several lines continues on
// lines of their own, indented under the first.
std::vector<std::string> WindowLines(const TForm& window);
// "  <name>: <text>", the line of one control.
std::string ControlLine(const std::string& name, const std::string& text);

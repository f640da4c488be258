#pragma once
// The steps of the program's start that come before its windows, in the order main()
// takes them: EnterProgramFolder, Program().MeasureScreenColorBits(), the help file
// HelpFileName, a TVerdanaFont that lives as long as main(), the title ApplicationTitle.

#include <string>

constexpr char HelpFileName[] = "Tessel.hlp";
constexpr char ApplicationTitle[] = "Quillet";

// Takes the program folder from the program's own path (everything before the last "/")
// and makes it the current folder, where every file of the program is looked for. A
// folder that cannot be entered is passed over: the files are then missing, which the
// windows report when they need them.
void EnterProgramFolder(const std::string& exePath);

#pragma once
// The way the windows tell the user about the settings file: a file error ("File not
// found", "Disk full") or a refused save is shown in a plain message box with its text,
// and the window goes on.

#include <functional>

// Runs action and gives true; when it raises EInOutError or ESettingsError, shows the text
// in a message box and gives false.
bool ReportFileErrors(const std::function<void()>& action);

#include "app/FileErrorBox.h"

#include <string>

#include "app/SettingsFile.h"
#include "forms/Application.h"
#include "forms/FileErrors.h"

bool ReportFileErrors(const std::function<void()>& action) {
  std::string error;
  try {
    action();
    return true;
  } catch (const EInOutError& e) {
    error = e.what();
  } catch (const ESettingsError& e) {
    error = e.what();
  }
  // Shown outside the handler, so the modal box does not run inside a live exception.
  Application->MessageBox(error);
  return false;
}

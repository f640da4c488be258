#pragma once
// The program's windows at work on the headless screen, driven as a user would drive them:
// whenever a window awaits the user, what it shows is written to a log and the next
// scripted action is done to it. So a test states the windows in the order they came up,
// with their texts, and what the user did in each.

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ProgramFolderFixture.h"
#include "support/FileSizeLimit.h"

using TLines = std::vector<std::string>;

class WindowsHarness : public ProgramFolderTest {
 protected:
  using TAction = std::function<void(TForm* window)>;

  // One run of the program: the settings file before it (nullopt: none), what the user
  // does to each window in turn, and then what the windows showed, the file after it and
  // the exit status.
  struct TRunCase {
    const char* what;
    std::optional<std::string> before;
    std::deque<TAction> actions;
    TLines shown;
    std::optional<std::string> after;
    int status = 0;
  };

  void TearDown() override;
  void CheckRuns(const std::vector<std::string>& arguments, const std::vector<TRunCase>& cases);

  // Runs body with the actions done, in turn, to each window that awaits the user: the
  // active window, shown and, when modal, not yet answered. A window left without an
  // action fails the test and is cancelled.
  void Drive(std::deque<TAction> actions, const std::function<void()>& body);
  // The program as started with arguments from the test's program folder; its status.
  int RunProgram(std::vector<std::string> arguments, std::deque<TAction> actions);
  // The program's main and warning windows, made as start-up makes them, until TearDown.
  void MakeProgramWindows();

  TAction Press(int vk);
  TAction ClickOn(const char* control);
  // Clicks into the field and types the text at the end of what it holds.
  TAction TypeInto(const char* field, const std::string& text);
  // Puts text on the clipboard and pastes it at the end of the field.
  TAction PasteInto(const char* field, const std::string& text);

  // One line per window an action was done to: "fSetup <server>|<port>|<account>|<password>",
  // "fWarn <from>|<subject>|<name>|<line 1>|<line 2>", "fMain <status> <its four settings>",
  // "MessageBox <text>".
  TLines Shown;
  // Held while a save is to fail as on a full disk.
  std::unique_ptr<TFileSizeLimit> DiskFull;

 private:
  static std::string Describe(TForm* window);
  bool Awaits(TForm* window) const;
  // The settings file's bytes; nullopt: no file.
  void SetSettingsFile(const std::optional<std::string>& bytes);
  std::optional<std::string> SettingsFile();
};

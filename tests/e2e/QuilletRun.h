#pragma once
// The program quillet installed (cmake --install) into a program folder of its own for each
// test, so that every run has its own settings file, started on a private X server; xdotool
// drives it. QuilletUnderWm runs the same tests with no window manager and under openbox.

#include <gtest/gtest.h>
#include <sys/types.h>

#include <functional>
#include <string>

#include "support/TempFolder.h"
#include "support/XvfbServer.h"

// Runs a shell command, waits for it and gives what it wrote to stdout, and to stderr too
// unless errors is false; status receives its exit status.
std::string CommandOutput(const std::string& command, int& status, bool errors = true);
// Polls until done() holds; false when it still does not after timeoutMs.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000);

class QuilletRun : public ::testing::Test {
 protected:
  void SetUp() override;
  // Ends the program and the window manager if they still run; the X server ends with the
  // fixture.
  void TearDown() override;

  // cmake --install of the build into prefix (a folder under the test's own).
  void Install(const std::string& prefix) const;

  // The bytes of a file of the program folder.
  std::string ProgramFile(const std::string& name) const;
  void SetProgramFile(const std::string& name, const std::string& bytes) const;

  // The installed program as a shell word, behind the command named by QUILLET_RUN_UNDER
  // when there is one (tools/run-valgrind runs it under memcheck that way).
  std::string ProgramCommand() const;
  // Starts the program with the arguments from the root folder, not from its own.
  void Start(const std::string& arguments);
  // Starts a shell command that runs the program, from the root folder too.
  void StartCommand(const std::string& command);
  // Starts a window manager and waits until it manages the screen.
  void StartWindowManager(const std::string& name);
  // The id of the visible window of that name, once there is one; empty after 10 s.
  std::string WaitForWindow(const std::string& name) const;
  std::string XDo(const std::string& arguments) const;
  // Left, top, width and height of the window on the screen, joined by spaces.
  std::string Geometry(const std::string& window) const;
  // The colour of one pixel of the screen as "#RRGGBB", read from a screenshot of it.
  std::string PixelAt(int x, int y) const;
  // The program's exit status once it has ended; -1 when it still runs after timeoutMs.
  int WaitForExit(int timeoutMs = 10000);

  TTempFolder Folder;
  TXvfbServer Server;

 private:
  pid_t FPid = -1;
  pid_t FManager = -1;
};

// The tests that take the program through its windows, each with no window manager ("")
// and under a light one from Debian.
class QuilletUnderWm : public QuilletRun, public ::testing::WithParamInterface<std::string> {
 protected:
  void SetUp() override;
};

#pragma once
// The program quillet started from a copy of the build's program folder, so that every
// run has its own settings file, on a private X server; xdotool drives it.

#include <gtest/gtest.h>
#include <sys/types.h>

#include <string>

#include "support/TempFolder.h"
#include "support/XvfbServer.h"

// Runs a shell command, waits for it and gives what it wrote to stdout and stderr;
// status receives its exit status.
std::string CommandOutput(const std::string& command, int& status);

class QuilletRun : public ::testing::Test {
 protected:
  void SetUp() override;
  // Ends the program if it still runs; the X server ends with the fixture.
  void TearDown() override;

  // The bytes of a file of the program folder.
  std::string ProgramFile(const std::string& name) const;
  void SetProgramFile(const std::string& name, const std::string& bytes) const;

  // Starts the program with the arguments from the root folder, not from its own.
  void Start(const std::string& arguments);
  // Starts a shell command that runs the program, from the root folder too.
  void StartCommand(const std::string& command);
  // The id of the visible window of that name, once there is one; empty after 10 s.
  std::string WaitForWindow(const std::string& name) const;
  std::string XDo(const std::string& arguments) const;
  // Left, top, width and height of the window on the screen, joined by spaces.
  std::string Geometry(const std::string& window) const;
  // The program's exit status once it has ended; -1 when it still runs after timeoutMs.
  int WaitForExit(int timeoutMs = 10000);

  TTempFolder Folder;
  TXvfbServer Server;

 private:
  pid_t FPid = -1;
};

#pragma once
// Makes a folder read-only for the calling thread for as long as it lives, for root too:
// root writes anywhere while it holds CAP_DAC_OVERRIDE, so that capability leaves the
// thread's effective set meanwhile (it stays permitted, so it comes back afterwards). The
// program under test runs on the test's thread, so it meets the folder as a user would.

#include <sys/stat.h>

#include <string>

class TReadOnlyFolder {
 public:
  explicit TReadOnlyFolder(std::string Path);
  ~TReadOnlyFolder();
  TReadOnlyFolder(const TReadOnlyFolder&) = delete;
  TReadOnlyFolder& operator=(const TReadOnlyFolder&) = delete;

 private:
  std::string FPath;
  mode_t FOldMode = 0;
  bool FDroppedOverride = false;
};

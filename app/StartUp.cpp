#include "app/StartUp.h"

#include "app/Program.h"
#include "forms/FileUtils.h"

void EnterProgramFolder(const std::string& exePath) {
  std::string folder = ExtractFileDir(exePath);
  // The name the program was started by, where its own path cannot be read, may be
  // relative to the folder it was started from.
  if (folder.empty() || folder[0] != '/')
    folder = GetCurrentDir() + (folder.empty() ? "" : "/" + folder);
  Program().SetFolder(folder);
  SetCurrentDir(folder + "/");
}

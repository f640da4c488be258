#include "app/StartUp.h"

#include "app/Program.h"
#include "forms/FileUtils.h"

void EnterProgramFolder(const std::string& exePath) {
  Program().SetFolder(ExtractFileDir(exePath));
  SetCurrentDir(Program().Folder() + "/");
}

#pragma once
// Runs the program's code as if it had been started from a fresh program folder: a
// temporary folder holding Data0000/ and Data0001/ is the program folder and the current
// folder for the test, on a headless screen, with a font table of the test's own that
// records what the program adds and removes.

#include <memory>
#include <string>
#include <vector>

#include "app/ProgramFonts.h"
#include "support/TempFolder.h"
#include "support/forms/FormsFixture.h"

class TRecordingFonts : public TProgramFonts {
 public:
  std::vector<std::string> Families;  // what the table says is installed
  std::vector<std::string> Added;
  std::vector<std::string> Removed;
  int Broadcasts = 0;

  std::vector<std::string> InstalledFamilies() override { return Families; }
  void Add(const std::string& path) override { Added.push_back(path); }
  void Remove(const std::string& path) override { Removed.push_back(path); }
  void BroadcastChange() override { ++Broadcasts; }
};

class ProgramFolderTest : public FormsTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  TTempFolder& Folder() { return *FFolder; }
  TRecordingFonts& Fonts() { return *FFonts; }

 private:
  std::unique_ptr<TTempFolder> FFolder;
  TRecordingFonts* FFonts = nullptr;
  std::string FOldCurrentDir;
};

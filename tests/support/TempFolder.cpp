#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

TTempFolder::TTempFolder() {
  char pattern[] = "/tmp/quillet-test-XXXXXX";
  if (::mkdtemp(pattern)) FPath = pattern;
  EXPECT_FALSE(FPath.empty()) << "no temporary folder";
}

TTempFolder::~TTempFolder() {
  std::error_code ignored;
  if (!FPath.empty()) std::filesystem::remove_all(FPath, ignored);
}

void TTempFolder::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream(File(name), std::ios::binary | std::ios::trunc) << bytes;
}

std::string TTempFolder::Read(const std::string& name) const {
  std::ifstream in(File(name), std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool TTempFolder::Exists(const std::string& name) const {
  struct stat st {};
  return ::stat(File(name).c_str(), &st) == 0;
}

void TTempFolder::MakeFolder(const std::string& name) const {
  std::filesystem::create_directories(File(name));
}

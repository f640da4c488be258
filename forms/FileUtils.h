#pragma once
// Small file-system helpers with the classic names.

#include <string>

bool FileExists(const std::string& path);  // a file, not a folder
bool DirectoryExists(const std::string& path);
bool DeleteFile(const std::string& path);  // false when it could not be deleted
std::string GetCurrentDir();
bool SetCurrentDir(const std::string& path);

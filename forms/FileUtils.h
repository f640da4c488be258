#pragma once
// Small file-system helpers with the classic names.

#include <string>

bool FileExists(const std::string& path);  // a file, not a folder
bool DirectoryExists(const std::string& path);
bool DeleteFile(const std::string& path);  // false when it could not be deleted
std::string GetCurrentDir();
bool SetCurrentDir(const std::string& path);
// Replaces to with from in one step, so a reader sees either the old file or the new one;
// false when it could not be done (errno tells why).
bool RenameFile(const std::string& from, const std::string& to);
// The folder part of path: everything before the last "/", or "/" for a file in the root;
// empty when path names no folder.
std::string ExtractFileDir(const std::string& path);

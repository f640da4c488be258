#pragma once
// A fresh folder under /tmp for one test, removed with everything in it when the test
// ends, with helpers for the bytes of the files in it.

#include <string>

class TTempFolder {
 public:
  TTempFolder();
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::string& Path() const { return FPath; }
  std::string File(const std::string& name) const { return FPath + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) const;
  // The file's bytes; empty when it cannot be read.
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  void MakeFolder(const std::string& name) const;

 private:
  std::string FPath;
};

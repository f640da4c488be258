#pragma once
// The file that holds one attachment's decoded bytes while it is judged. It exists from
// the constructor to the destructor only, whatever happens in between.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TFileStream;

class TScratchFile {
 public:
  // Replaces any file of that name by a new, empty one; raises EFCreateError
  // ("Cannot create file " + Path) when it cannot be created.
  explicit TScratchFile(std::string Path);
  TScratchFile(const TScratchFile&) = delete;
  TScratchFile& operator=(const TScratchFile&) = delete;
  // Deletes the file; a failure to delete is ignored.
  ~TScratchFile();

  const std::string& Path() const { return FPath; }
  // Bytes are gathered and written in large blocks, not a system call per decoded line.
  void Append(const std::uint8_t* Bytes, std::size_t Count);
  // Writes what is gathered and closes the file, so that it can be read back.
  void Close();

 private:
  void Flush();

  std::string FPath;
  std::unique_ptr<TFileStream> FStream;
  std::vector<std::uint8_t> FPending;
};

#pragma once
// The errors of the program's file helpers. The texts are what the user reads in a message
// box, so they are the classic ones: "File not found", "Path not found", "Access denied",
// "Disk full", otherwise "I/O error N".

#include <stdexcept>
#include <string>

class EInOutError : public std::runtime_error {
 public:
  EInOutError(int code, const std::string& message)
      : std::runtime_error(message), ErrorCode(code) {}
  const int ErrorCode;
};

// A file stream that could not be created or opened; the text names the path.
class EFCreateError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EFOpenError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
// A stream that moved fewer bytes than a ReadBuffer/WriteBuffer demanded.
class EReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Error numbers of the helpers, in the classic numbering where one exists.
namespace ioerr {
constexpr int FileNotFound = 2;
constexpr int PathNotFound = 3;
constexpr int AccessDenied = 5;
constexpr int DiskFull = 101;
constexpr int FileNotOpen = 103;
constexpr int NotOpenForInput = 104;
constexpr int NotOpenForOutput = 105;
}  // namespace ioerr

// The number for an errno met while working on path (ENOENT tells a missing file from a
// missing folder by looking at the folder).
int IoErrorCode(int errnoValue, const std::string& path);
std::string IoErrorText(int code);
// Throws EInOutError for errnoValue met on path.
[[noreturn]] void RaiseIoError(int errnoValue, const std::string& path);
[[noreturn]] void RaiseIoCode(int code);

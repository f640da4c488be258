#include "forms/FileErrors.h"

#include <cerrno>

#include "forms/FileUtils.h"

namespace {
bool FolderExists(const std::string& path) {
  std::string folder = ExtractFileDir(path);
  return folder.empty() || DirectoryExists(folder);  // empty: the current folder
}
}  // namespace

int IoErrorCode(int errnoValue, const std::string& path) {
  switch (errnoValue) {
    case ENOENT:
      return FolderExists(path) ? ioerr::FileNotFound : ioerr::PathNotFound;
    case ENOTDIR:
      return ioerr::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return ioerr::AccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return ioerr::DiskFull;
    case EMFILE:
    case ENFILE:
      return 4;  // too many open files
    case EBADF:
      return 6;  // invalid handle
    case ENAMETOOLONG:
      return 206;  // file name too long
    case EINVAL:
      return 87;  // invalid parameter
    default:
      return 31;  // a device that does not work
  }
}

std::string IoErrorText(int code) {
  switch (code) {
    case ioerr::FileNotFound:
      return "File not found";
    case ioerr::PathNotFound:
      return "Path not found";
    case ioerr::AccessDenied:
      return "Access denied";
    case ioerr::DiskFull:
      return "Disk full";
    default:
      return "I/O error " + std::to_string(code);
  }
}

void RaiseIoError(int errnoValue, const std::string& path) {
  RaiseIoCode(IoErrorCode(errnoValue, path));
}

void RaiseIoCode(int code) {
  throw EInOutError(code, IoErrorText(code));
}

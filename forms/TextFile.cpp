#include "forms/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "forms/FileErrors.h"

namespace {
constexpr char kCtrlZ = 26;
constexpr std::size_t kBlock = 16384;
}  // namespace

TTextFile::~TTextFile() {
  try {
    Close();
  } catch (...) {
    // A destructor cannot report; whoever cares calls Close() first.
  }
}

void TTextFile::Assign(const std::string& path) {
  Close();
  FPath = path;
}

void TTextFile::Reset() {
  Open(O_RDONLY, Mode::input);
}
void TTextFile::Rewrite() {
  Open(O_WRONLY | O_CREAT | O_TRUNC, Mode::output);
}
void TTextFile::Append() {
  Open(O_WRONLY | O_APPEND, Mode::output);
}

void TTextFile::Open(int flags, Mode mode) {
  Close();
  int fd = ::open(FPath.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) RaiseIoError(errno, FPath);
  // Linux opens a folder for reading; the classic answer for a folder is "Access denied".
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    RaiseIoCode(ioerr::AccessDenied);
  }
  FFd = fd;
  FMode = mode;
  FBuffer.clear();
  FPos = 0;
  FAtEnd = false;
}

void TTextFile::Close() {
  if (FFd < 0) return;
  int fd = FFd;
  bool flushFailed = false;
  int code = 0;
  if (FMode == Mode::output) {
    try {
      Flush();
    } catch (const EInOutError& e) {
      flushFailed = true;
      code = e.ErrorCode;
    }
  }
  FFd = -1;
  FMode = Mode::closed;
  FBuffer.clear();
  FPos = 0;
  if (::close(fd) != 0 && !flushFailed) {
    flushFailed = true;
    code = IoErrorCode(errno, FPath);
  }
  if (flushFailed) RaiseIoCode(code);
}

void TTextFile::CheckMode(Mode wanted) const {
  if (FMode == wanted) return;
  if (FMode == Mode::closed) RaiseIoCode(ioerr::FileNotOpen);
  RaiseIoCode(wanted == Mode::input ? ioerr::NotOpenForInput : ioerr::NotOpenForOutput);
}

bool TTextFile::Fill() {
  if (FAtEnd) return false;
  FBuffer.erase(0, FPos);
  FPos = 0;
  std::size_t old = FBuffer.size();
  FBuffer.resize(old + kBlock);
  ssize_t n;
  do {
    n = ::read(FFd, FBuffer.data() + old, kBlock);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    int err = errno;
    FBuffer.resize(old);
    RaiseIoError(err, FPath);
  }
  FBuffer.resize(old + static_cast<std::size_t>(n));
  if (n == 0) FAtEnd = true;
  return n > 0;
}

int TTextFile::PeekByte() {
  if (FPos >= FBuffer.size() && !Fill()) return -1;
  char c = FBuffer[FPos];
  return c == kCtrlZ ? -1 : static_cast<unsigned char>(c);
}

bool TTextFile::Eof() {
  CheckMode(Mode::input);
  return PeekByte() < 0;
}

std::string TTextFile::ReadLn() {
  std::string line;
  ReadLn(line);
  return line;
}

void TTextFile::ReadLn(std::string& line) {
  CheckMode(Mode::input);
  line.clear();
  for (;;) {
    if (PeekByte() < 0) return;
    // Take the run up to the next CR or Ctrl-Z in one piece; a Ctrl-Z is left in place, so
    // that it goes on ending the data.
    const char* begin = FBuffer.data() + FPos;
    const std::size_t left = FBuffer.size() - FPos;
    const auto* cr = static_cast<const char*>(std::memchr(begin, '\r', left));
    const std::size_t run = cr ? static_cast<std::size_t>(cr - begin) : left;
    const auto* z = static_cast<const char*>(std::memchr(begin, kCtrlZ, run));
    const std::size_t take = z ? static_cast<std::size_t>(z - begin) : run;
    line.append(begin, take);
    FPos += take;
    if (z) return;
    if (cr) {
      ++FPos;
      break;
    }
  }
  if (PeekByte() == '\n') ++FPos;
}

void TTextFile::Write(const std::string& text) {
  CheckMode(Mode::output);
  FBuffer += text;
  if (FBuffer.size() >= kBlock) Flush();
}

void TTextFile::WriteLn(const std::string& line) {
  Write(line + "\r\n");
}

void TTextFile::Flush() {
  if (FMode != Mode::output) return;
  std::size_t done = 0;
  while (done < FBuffer.size()) {
    ssize_t n = ::write(FFd, FBuffer.data() + done, FBuffer.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      int err = n < 0 ? errno : ENOSPC;
      FBuffer.erase(0, done);
      RaiseIoError(err, FPath);
    }
    done += static_cast<std::size_t>(n);
  }
  FBuffer.clear();
}

void TTextFile::Sync() {
  CheckMode(Mode::output);
  Flush();
  if (::fsync(FFd) != 0) RaiseIoError(errno, FPath);
}

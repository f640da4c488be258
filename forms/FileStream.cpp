#include "forms/FileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "forms/FileErrors.h"

namespace {
constexpr std::size_t kReadAhead = 8192;
}

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : FFileName(fileName) {
  if (mode == fmCreate) {
    FFd = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (FFd < 0) throw EFCreateError("Cannot create file " + fileName);
    return;
  }
  int access = (mode & 3) == fmOpenWrite       ? O_WRONLY
               : (mode & 3) == fmOpenReadWrite ? O_RDWR
                                               : O_RDONLY;
  FFd = ::open(fileName.c_str(), access | O_CLOEXEC);
  struct stat st {};
  if (FFd >= 0 && ::fstat(FFd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(FFd);
    FFd = -1;
  }
  if (FFd < 0) throw EFOpenError("Cannot open file " + fileName);
}

TFileStream::~TFileStream() {
  if (FFd >= 0) ::close(FFd);
}

// The kernel's offset runs ahead of the caller's by the unread bytes; put it back before
// anything that uses or moves the offset.
void TFileStream::DropReadBuffer() {
  std::size_t unread = FReadBuf.size() - FReadPos;
  if (unread > 0) ::lseek(FFd, -static_cast<off_t>(unread), SEEK_CUR);
  FReadBuf.clear();
  FReadPos = 0;
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  auto* out = static_cast<char*>(buffer);
  std::int64_t done = 0;
  while (done < count) {
    if (FReadPos == FReadBuf.size()) {
      FReadBuf.resize(kReadAhead);
      FReadPos = 0;
      ssize_t n;
      do {
        n = ::read(FFd, FReadBuf.data(), kReadAhead);
      } while (n < 0 && errno == EINTR);
      if (n < 0) {
        int err = errno;
        FReadBuf.clear();
        RaiseIoError(err, FFileName);
      }
      FReadBuf.resize(static_cast<std::size_t>(n));
      if (n == 0) break;
    }
    std::size_t take =
        std::min<std::size_t>(FReadBuf.size() - FReadPos, static_cast<std::size_t>(count - done));
    std::memcpy(out + done, FReadBuf.data() + FReadPos, take);
    FReadPos += take;
    done += static_cast<std::int64_t>(take);
  }
  return done;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  DropReadBuffer();
  const auto* in = static_cast<const char*>(buffer);
  std::int64_t done = 0;
  while (done < count) {
    ssize_t n = ::write(FFd, in + done, static_cast<std::size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) RaiseIoError(errno, FFileName);
    if (n == 0) RaiseIoCode(ioerr::DiskFull);
    done += n;
  }
  return done;
}

void TFileStream::ReadBuffer(void* buffer, std::int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TFileStream::WriteBuffer(const void* buffer, std::int64_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  DropReadBuffer();
  int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
               : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                  : SEEK_END;
  off_t pos = ::lseek(FFd, static_cast<off_t>(offset), whence);
  if (pos < 0) RaiseIoError(errno, FFileName);
  return pos;
}

std::int64_t TFileStream::Size() {
  struct stat st {};
  if (::fstat(FFd, &st) != 0) RaiseIoError(errno, FFileName);
  return st.st_size;
}

void TFileStream::SetSize(std::int64_t size) {
  DropReadBuffer();
  if (::ftruncate(FFd, static_cast<off_t>(size)) != 0) RaiseIoError(errno, FFileName);
}

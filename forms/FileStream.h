#pragma once
// A binary file stream. Creation or opening failures raise EFCreateError / EFOpenError
// naming the path ("Cannot create file " + path); read and write failures raise
// EInOutError with the classic texts. Reads are buffered, so reading a byte at a time
// costs no system call per byte.

#include <cstdint>
#include <string>

enum TFileMode : unsigned {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmCreate = 0xFF00,
};

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TFileStream {
 public:
  TFileStream(const std::string& fileName, unsigned mode);
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  ~TFileStream();

  // Bytes actually moved; fewer than asked at the end of the file.
  std::int64_t Read(void* buffer, std::int64_t count);
  std::int64_t Write(const void* buffer, std::int64_t count);
  // All or an exception (EReadError "Stream read error" / EWriteError "Stream write error").
  void ReadBuffer(void* buffer, std::int64_t count);
  void WriteBuffer(const void* buffer, std::int64_t count);

  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin);
  std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(std::int64_t pos) { Seek(pos, TSeekOrigin::soBeginning); }
  std::int64_t Size();
  void SetSize(std::int64_t size);
  const std::string& FileName() const { return FFileName; }

 private:
  void DropReadBuffer();

  std::string FFileName;
  int FFd = -1;
  std::string FReadBuf;  // bytes read ahead; the file offset stands after them
  std::size_t FReadPos = 0;
};

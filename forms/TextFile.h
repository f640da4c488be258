#pragma once
// The program's text files. Lines are written ended by CR LF. When read, a line ends at
// CR and an LF right after it is passed over (a lone LF is an ordinary byte of the line),
// a byte 26 (Ctrl-Z) ends the readable data, and a line read past the end is empty text.
// Failures raise EInOutError with the classic texts.

#include <string>

class TTextFile {
 public:
  TTextFile() = default;
  explicit TTextFile(std::string path) : FPath(std::move(path)) {}
  TTextFile(const TTextFile&) = delete;
  TTextFile& operator=(const TTextFile&) = delete;
  // Closes quietly; call Close() to learn whether buffered lines reached the disk.
  ~TTextFile();

  void Assign(const std::string& path);
  const std::string& Path() const { return FPath; }

  void Reset();    // opens an existing file for reading
  void Rewrite();  // creates the file anew (an existing one is replaced) for writing
  void Append();   // opens an existing file for writing at its end
  void Close();
  bool IsOpen() const { return FFd >= 0; }

  // Reading.
  std::string ReadLn();
  // Reuses line's storage, which matters when a file of millions of lines is read.
  void ReadLn(std::string& line);
  bool Eof();  // nothing readable is left: the end of the file or a Ctrl-Z

  // Writing.
  void Write(const std::string& text);
  void WriteLn(const std::string& line);
  void Flush();
  // Flushes and waits until the bytes are on the disk, so that a file about to replace
  // another cannot turn out empty after a crash.
  void Sync();

 private:
  enum class Mode { closed, input, output };
  void Open(int flags, Mode mode);
  int PeekByte();  // the next readable byte, or -1 at the end of the readable data
  bool Fill();
  void CheckMode(Mode wanted) const;

  std::string FPath;
  int FFd = -1;
  Mode FMode = Mode::closed;
  std::string FBuffer;  // read: bytes not yet taken from FBuffer[FPos]; write: pending bytes
  std::size_t FPos = 0;
  bool FAtEnd = false;
};

#include "app/SpoolFile.h"

#include "forms/FileErrors.h"

void TSpoolFile::Rewrite(const std::string& Path) {
  FFile.Assign(Path);
  FLineOwed = false;
  FFile.Rewrite();
}

void TSpoolFile::WriteLine(const std::string& Piece, bool Continuation) {
  // The CR LF of a line is written when the next line starts, since until then a piece
  // may still follow.
  if (FLineOwed && !Continuation) FFile.Write("\r\n");
  FFile.Write(Piece);
  FLineOwed = true;
}

void TSpoolFile::Close() {
  if (!FFile.IsOpen()) return;
  const bool owed = FLineOwed;
  FLineOwed = false;
  try {
    if (owed) FFile.Write("\r\n");
  } catch (const EInOutError&) {
    // The close below meets the same failure when it writes the rest, and reports it.
  }
  FFile.Close();
}

void TSpoolFile::CloseQuietly() {
  try {
    Close();
  } catch (const EInOutError&) {
  }
}

#pragma once
// The spool file a downloaded message is written to: one line for each line the POP3
// client hands on, ended by CR LF, gathered in the text file's buffer so that a message of
// many short lines costs a system call per block, not per line. A line longer than the
// client's receive buffer comes in pieces, which are joined with nothing between them, so
// a long base64 line decodes as it was sent.

#include <string>

#include "forms/TextFile.h"

class TSpoolFile {
 public:
  // Creates Path anew, empty; raises EInOutError ("Path not found" without Data0000).
  void Rewrite(const std::string& Path);
  // Starts a new line with Piece, or, for a continuation, adds Piece to the line in hand.
  // Raises EInOutError when a full buffer cannot be written ("Disk full").
  void WriteLine(const std::string& Piece, bool Continuation);
  // Ends the last line and closes the file; raises EInOutError when what is buffered
  // cannot be written. The file is closed either way.
  void Close();
  // The same, for a file given up on: nothing is reported.
  void CloseQuietly();

 private:
  TTextFile FFile;
  bool FLineOwed = false;  // the line in hand still lacks its CR LF
};

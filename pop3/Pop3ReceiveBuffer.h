#pragma once
// The client's receive buffer: raw bytes from the socket in, complete CR LF lines out.
//
// Lines are taken from a moving start position instead of shifting the held bytes after
// each one; the bytes are moved to the front only once per receive, so a 4 KB read full of
// short lines costs one move, not one per line. State lives in members only, so that a
// receive nested inside a line's handling (the pump before a send may deliver the socket's
// next notification) continues where the outer one stopped.

#include <cstddef>
#include <string_view>

class TPop3ReceiveBuffer {
 public:
  // Room for Capacity - 1 bytes and the zero byte that always follows them. Each data
  // notification costs a poll, a posted message and a recv whatever its size, so reads are
  // large: with 4 KB a 5 MB message took over a thousand round trips through the loop and
  // ran a quarter slower than the server can deliver. Lines up to Capacity - 3 bytes
  // complete whole; longer ones are handed on in pieces (NextLine).
  static constexpr int Capacity = 65536;

  // Drops everything held (a new connection starts clean).
  void Clear();
  // Moves the held bytes to the front and says where, and how much, the next receive may
  // write.
  char* PrepareReceive(int& room);
  // Accounts for count bytes written at the place PrepareReceive gave.
  void CommitReceive(int count);
  int Count() const { return FCount; }

  // Takes the next complete line, without its CR LF and cut before a zero byte. When the
  // buffer is full and holds no CR LF, what it holds is handed on as a line of its own, so
  // that an overlong line cannot stall the connection; the pieces that follow are marked
  // as continuations. False when no line is ready.
  bool NextLine(std::string_view& line, bool& continuation);

  // Marks every byte held now as received before the command about to go out: a line made
  // of them cannot be that command's reply, whatever it says.
  void Fence() { FFenced = FCount; }
  // Whether the line NextLine gave last began before the fence.
  bool LineBeforeFence() const { return FLineFenced; }

 private:
  void Consume(int count);

  char FData[Capacity] = {};
  int FStart = 0;
  int FCount = 0;
  bool FContinuation = false;
  // Held bytes, counted from FStart, that came before the fence.
  int FFenced = 0;
  bool FLineFenced = false;
};

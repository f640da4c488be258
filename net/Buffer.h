#pragma once
// One block of a socket's send queue. Bytes are appended behind the stored ones and taken
// from the front; room freed at the front is reused only once the block is empty, so a
// block never moves bytes around.

#include <memory>

#include "net/Object.h"

class TBuffer : public TObject {
 public:
  static constexpr int DefaultSize = 1514;

  // A capacity of 0 or less means the default block size.
  explicit TBuffer(int capacity);

  // Stores as many of len bytes as fit; returns how many.
  int Write(const void* data, int len);
  // The unread bytes; len receives their count (0 and null when none).
  const char* Peek(int& len) const;
  // Takes up to n bytes off the front; returns how many.
  int Remove(int n);

  int Capacity() const { return FCapacity; }
  int Unread() const { return FWriteCount - FReadCount; }

 private:
  std::unique_ptr<char[]> FData;
  int FCapacity;
  int FWriteCount = 0;
  int FReadCount = 0;
};

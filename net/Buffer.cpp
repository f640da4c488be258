#include "net/Buffer.h"

#include <algorithm>
#include <cstring>

TBuffer::TBuffer(int capacity) : FCapacity(capacity <= 0 ? DefaultSize : capacity) {
  FData = std::make_unique<char[]>(static_cast<size_t>(FCapacity));
}

int TBuffer::Write(const void* data, int len) {
  int room = FCapacity - FWriteCount;
  if (room <= 0 || len <= 0) return 0;
  int count = std::min(room, len);
  std::memcpy(FData.get() + FWriteCount, data, static_cast<size_t>(count));
  FWriteCount += count;
  return count;
}

const char* TBuffer::Peek(int& len) const {
  len = FWriteCount - FReadCount;
  return len > 0 ? FData.get() + FReadCount : nullptr;
}

int TBuffer::Remove(int n) {
  int count = std::clamp(n, 0, FWriteCount - FReadCount);
  FReadCount += count;
  if (FReadCount == FWriteCount) FReadCount = FWriteCount = 0;
  return count;
}

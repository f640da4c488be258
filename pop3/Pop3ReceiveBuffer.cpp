#include "pop3/Pop3ReceiveBuffer.h"

#include <cstring>

void TPop3ReceiveBuffer::Clear() {
  FStart = 0;
  FCount = 0;
  FContinuation = false;
  FFenced = 0;
  FLineFenced = false;
  FData[0] = 0;
}

char* TPop3ReceiveBuffer::PrepareReceive(int& room) {
  if (FStart > 0) {
    std::memmove(FData, FData + FStart, static_cast<std::size_t>(FCount));
    FStart = 0;
  }
  room = Capacity - 1 - FCount;
  return FData + FCount;
}

void TPop3ReceiveBuffer::CommitReceive(int count) {
  FCount += count;
  FData[FStart + FCount] = 0;
}

bool TPop3ReceiveBuffer::NextLine(std::string_view& line, bool& continuation) {
  if (FCount <= 0) return false;
  const char* begin = FData + FStart;
  const char* end = begin + FCount;
  const char* cr = begin;
  // memchr finds candidates at memory speed; a CR not followed by LF stays in the line.
  while ((cr = static_cast<const char*>(std::memchr(cr, '\r', end - cr))) != nullptr) {
    if (cr + 1 < end && cr[1] == '\n') break;
    ++cr;
  }
  std::size_t length;
  int consumed;
  continuation = FContinuation;
  if (cr != nullptr) {
    length = static_cast<std::size_t>(cr - begin);
    consumed = static_cast<int>(length) + 2;
    if (FContinuation && length == 0) {
      // The CR LF that ends an overlong line which was handed on whole already.
      Consume(consumed);
      FContinuation = false;
      return NextLine(line, continuation);
    }
    FContinuation = false;
  } else {
    if (FCount < Capacity - 1) return false;
    // Full and no line end: hand on all but a final CR, whose LF may be on its way.
    length = static_cast<std::size_t>(FCount) - (end[-1] == '\r' ? 1 : 0);
    consumed = static_cast<int>(length);
    FContinuation = true;
  }
  const void* zero = std::memchr(begin, 0, length);
  line = std::string_view(begin, zero ? static_cast<const char*>(zero) - begin : length);
  FLineFenced = FFenced > 0;
  Consume(consumed);
  return true;
}

void TPop3ReceiveBuffer::Consume(int count) {
  FStart += count;
  FCount -= count;
  FFenced = FFenced > count ? FFenced - count : 0;
}

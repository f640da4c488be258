#pragma once
// A synchronous wait for a flag while the thread's messages keep flowing.

#include <cstdint>
#include <functional>

#include "net/CustomLineWSocket.h"

class TCustomSyncWSocket : public TCustomLineWSocket {
 public:
  explicit TCustomSyncWSocket(TNetComponent* owner = nullptr);

  // Clears the flag, calls proc when given, then waits for the flag. 0 when the flag was
  // set, non-zero when the wait was abandoned because WM_QUIT was met.
  virtual int WaitUntil(std::uint8_t& flag, const std::function<void()>& proc);
  virtual int WaitForFlag(std::uint8_t& flag);
};

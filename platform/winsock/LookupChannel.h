#pragma once
// How lookup workers tell the loop's thread that a request has finished: a list under a
// lock plus a wake-up pipe the loop watches. Workers and the loop share it through
// shared_ptr, so a worker still running when the program ends writes into a pipe that
// stays open until the last owner lets go, and never into the loop itself.

#include <mutex>
#include <vector>

#include "platform/winsock/Winsock.h"

namespace winsock::detail {

class LookupChannel {
 public:
  LookupChannel();
  ~LookupChannel();
  LookupChannel(const LookupChannel&) = delete;
  LookupChannel& operator=(const LookupChannel&) = delete;

  int ReadFd() const { return pipe_[0]; }
  // Any thread.
  void Push(HANDLE finished);
  // Loop's thread: the requests finished since the last call.
  std::vector<HANDLE> Take();

 private:
  std::mutex mutex_;
  std::vector<HANDLE> finished_;
  int pipe_[2] = {-1, -1};
};

}  // namespace winsock::detail

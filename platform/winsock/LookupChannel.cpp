// The system socket names first, before Winsock.h can meet their macros.
#include "platform/winsock/PosixNames.h"

#include "platform/winsock/LookupChannel.h"

#include <cerrno>
#include <system_error>

namespace winsock::detail {

LookupChannel::LookupChannel() {
  if (::pipe2(pipe_, O_NONBLOCK | O_CLOEXEC) != 0)
    throw std::system_error(errno, std::generic_category(), "lookup completion pipe");
}

LookupChannel::~LookupChannel() {
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

void LookupChannel::Push(HANDLE finished) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    finished_.push_back(finished);
  }
  char byte = 1;
  // A full pipe already holds a wake-up, and the list keeps the handle; nothing is lost.
  [[maybe_unused]] ssize_t n = ::write(pipe_[1], &byte, 1);
}

std::vector<HANDLE> LookupChannel::Take() {
  char buf[64];
  while (::read(pipe_[0], buf, sizeof buf) > 0) {
  }
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<HANDLE> out;
  out.swap(finished_);
  return out;
}

}  // namespace winsock::detail

#pragma once
// SOCKET handles. They are not descriptor numbers: each socket gets a fresh number that is
// never handed out again, so a notification still queued for a closed socket can never be
// taken for one of a new socket that happens to reuse the descriptor.

#include <map>
#include <mutex>
#include <vector>

#include "platform/winsock/SocketRecord.h"

namespace winsock::detail {

class SocketTable {
 public:
  static SocketTable& Instance();

  SocketPtr Add(int fd, bool stream);
  SocketPtr Find(SOCKET s) const;
  SocketPtr Remove(SOCKET s);
  std::vector<SOCKET> Handles() const;

 private:
  mutable std::mutex mutex_;
  std::map<SOCKET, SocketPtr> records_;
  // Small, distinct from descriptor numbers at a glance, and stepping like WinSock's.
  SOCKET next_ = 0x100;
};

}  // namespace winsock::detail

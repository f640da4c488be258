#include "platform/winsock/SocketTable.h"

namespace winsock::detail {

SocketTable& SocketTable::Instance() {
  // Never destroyed: a socket closed from a static destructor must still find the table.
  static SocketTable* table = new SocketTable;
  return *table;
}

SocketPtr SocketTable::Add(int fd, bool stream) {
  auto rec = std::make_shared<SocketRecord>();
  rec->fd = fd;
  rec->stream = stream;
  std::lock_guard<std::mutex> lock(mutex_);
  rec->handle = next_;
  next_ += 4;
  records_[rec->handle] = rec;
  return rec;
}

SocketPtr SocketTable::Find(SOCKET s) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = records_.find(s);
  return it == records_.end() ? nullptr : it->second;
}

SocketPtr SocketTable::Remove(SOCKET s) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = records_.find(s);
  if (it == records_.end()) return nullptr;
  SocketPtr rec = it->second;
  records_.erase(it);
  return rec;
}

std::vector<SOCKET> SocketTable::Handles() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<SOCKET> out;
  for (const auto& [h, rec] : records_) out.push_back(h);
  return out;
}

}  // namespace winsock::detail

#include "platform/loop/FdWatchSet.h"

#include <cerrno>

int FdWatchSet::Add(int fd, short events, TFdCallback callback) {
  int id = nextId_++;
  watches_[id] = Watch{fd, events, std::move(callback)};
  return id;
}

void FdWatchSet::SetEvents(int id, short events) {
  auto it = watches_.find(id);
  if (it != watches_.end()) it->second.events = events;
}

void FdWatchSet::Remove(int id) {
  watches_.erase(id);
}

bool FdWatchSet::PollAndDispatch(int extraFd, int timeoutMs) {
  fds_.clear();
  ids_.clear();
  if (extraFd >= 0) {
    fds_.push_back({extraFd, POLLIN, 0});
    ids_.push_back(0);
  }
  for (const auto& [id, w] : watches_) {
    if (w.events == 0) continue;
    fds_.push_back({w.fd, w.events, 0});
    ids_.push_back(id);
  }
  if (fds_.empty() && timeoutMs == 0) return false;
  int n;
  do {
    // EINTR (a signal such as SIGCHLD) is not an event: poll again with the same bound.
    n = ::poll(fds_.data(), fds_.size(), timeoutMs);
  } while (n < 0 && errno == EINTR);
  if (n <= 0) return false;

  bool extraReady = false;
  // Copy: a callback may change the watch set and with it fds_ (through a nested loop).
  std::vector<pollfd> ready = fds_;
  std::vector<int> ids = ids_;
  for (std::size_t i = 0; i < ready.size(); ++i) {
    if (ready[i].revents == 0) continue;
    if (ids[i] == 0) {
      extraReady = true;
      continue;
    }
    auto it = watches_.find(ids[i]);
    if (it == watches_.end() || it->second.fd != ready[i].fd || it->second.events == 0) continue;
    TFdCallback cb = it->second.callback;  // the callback may remove its own watch
    cb(ready[i].revents);
  }
  return extraReady;
}

#pragma once
// The descriptors the loop polls besides its wake-up pipe. Callbacks may add, change or
// remove watches (a socket closed from inside a notification), so dispatch works on a
// snapshot and re-checks that a watch still exists before calling it.

#include <poll.h>

#include <map>
#include <vector>

#include "platform/MessageLoop.h"

class FdWatchSet {
 public:
  int Add(int fd, short events, TFdCallback callback);
  void SetEvents(int id, short events);
  void Remove(int id);
  bool Empty() const { return watches_.empty(); }

  // Polls the watched descriptors plus `extraFd` (-1: none) for up to timeoutMs and runs
  // the callbacks of those that are ready. Returns whether extraFd became readable.
  bool PollAndDispatch(int extraFd, int timeoutMs);

 private:
  struct Watch {
    int fd;
    short events;
    TFdCallback callback;
  };
  std::map<int, Watch> watches_;
  int nextId_ = 1;
  std::vector<pollfd> fds_;
  std::vector<int> ids_;
};

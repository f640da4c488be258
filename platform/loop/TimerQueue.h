#pragma once
// Window timers kept in a min-heap on their due time. Equal due times keep the order in
// which they were set (a sequence number breaks the tie), as users of SetTimer expect.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Messages.h"

class TimerQueue {
 public:
  void Set(HWND wnd, std::uintptr_t id, UINT intervalMs, std::uint64_t now);
  bool Kill(HWND wnd, std::uintptr_t id);
  void KillAllOf(HWND wnd);
  // The timer due at `now`, rescheduled one interval from now (missed ticks are not
  // caught up, so a busy loop sees one WM_TIMER, not a burst).
  std::optional<TMsg> TakeDue(std::uint64_t now);
  // Milliseconds until the nearest timer, or -1 when there is none.
  int MsUntilNext(std::uint64_t now) const;

 private:
  struct Entry {
    std::uint64_t due;
    std::uint64_t seq;
    HWND wnd;
    std::uintptr_t id;
    UINT interval;
  };
  static bool Later(const Entry& a, const Entry& b);
  void Remove(std::size_t index);

  std::vector<Entry> heap_;
  std::uint64_t nextSeq_ = 0;
};

#include "platform/loop/TimerQueue.h"

#include <algorithm>

bool TimerQueue::Later(const Entry& a, const Entry& b) {
  return a.due != b.due ? a.due > b.due : a.seq > b.seq;
}

void TimerQueue::Set(HWND wnd, std::uintptr_t id, UINT intervalMs, std::uint64_t now) {
  Kill(wnd, id);
  heap_.push_back({now + intervalMs, nextSeq_++, wnd, id, intervalMs});
  std::push_heap(heap_.begin(), heap_.end(), Later);
}

void TimerQueue::Remove(std::size_t index) {
  heap_.erase(heap_.begin() + static_cast<std::ptrdiff_t>(index));
  std::make_heap(heap_.begin(), heap_.end(), Later);
}

bool TimerQueue::Kill(HWND wnd, std::uintptr_t id) {
  for (std::size_t i = 0; i < heap_.size(); ++i) {
    if (heap_[i].wnd == wnd && heap_[i].id == id) {
      Remove(i);
      return true;
    }
  }
  return false;
}

void TimerQueue::KillAllOf(HWND wnd) {
  std::erase_if(heap_, [wnd](const Entry& e) { return e.wnd == wnd; });
  std::make_heap(heap_.begin(), heap_.end(), Later);
}

std::optional<TMsg> TimerQueue::TakeDue(std::uint64_t now) {
  if (heap_.empty() || heap_.front().due > now) return std::nullopt;
  std::pop_heap(heap_.begin(), heap_.end(), Later);
  Entry& e = heap_.back();
  TMsg msg{e.wnd, WM_TIMER, e.id, 0};
  e.due = now + e.interval;
  e.seq = nextSeq_++;
  std::push_heap(heap_.begin(), heap_.end(), Later);
  return msg;
}

int TimerQueue::MsUntilNext(std::uint64_t now) const {
  if (heap_.empty()) return -1;
  std::uint64_t due = heap_.front().due;
  return due <= now ? 0 : static_cast<int>(std::min<std::uint64_t>(due - now, 1u << 30));
}

#include "platform/MessageLoop.h"

#include <fcntl.h>
#include <unistd.h>

#include <deque>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/loop/FdWatchSet.h"
#include "platform/loop/TimerQueue.h"

namespace {

// After this many messages taken from a queue that never runs dry, the descriptors are
// looked at anyway, so that a flood of posts cannot starve socket notifications.
constexpr int kMessagesBetweenPolls = 32;

// Windows raises shorter timer intervals to this. A timer of 0 ms would otherwise always
// be due, and the loop would hand out WM_TIMER instead of ever sleeping in poll().
constexpr UINT kTimerMinimumMs = 10;

struct Window {
  TWndProc proc;
  bool topLevel;
};

class Loop {
 public:
  Loop() {
    if (::pipe2(wakePipe_, O_NONBLOCK | O_CLOEXEC) != 0)
      throw std::system_error(errno, std::generic_category(), "message loop wake-up pipe");
  }

  // The loop belongs to the thread that first used it; only posts from other threads need
  // to wake it, because the loop's own thread is not blocked while it posts.
  bool OnLoopThread() const { return std::this_thread::get_id() == owner_; }

  HWND Allocate(TWndProc proc, bool topLevel) {
    HWND h = nextHandle_++;
    windows_[h] = Window{std::move(proc), topLevel};
    return h;
  }

  bool Destroy(HWND wnd) {
    auto it = windows_.find(wnd);
    if (it == windows_.end()) return false;
    // Keep the procedure alive until this call returns: a window may destroy itself
    // from inside its own procedure.
    TWndProc keep = std::move(it->second.proc);
    windows_.erase(it);
    timers_.KillAllOf(wnd);
    return true;
  }

  bool Exists(HWND wnd) const { return windows_.count(wnd) != 0; }

  void Post(const TMsg& msg) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      queue_.push_back(msg);
    }
    if (OnLoopThread()) return;
    char byte = 1;
    // A full pipe already guarantees a wake-up, so a failed write loses nothing.
    [[maybe_unused]] ssize_t n = ::write(wakePipe_[1], &byte, 1);
  }

  LRESULT Send(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto it = windows_.find(wnd);
    if (it == windows_.end()) return 0;
    TWndProc proc = it->second.proc;  // the window may be destroyed while it runs
    return proc(msg, wParam, lParam);
  }

  void Broadcast(UINT msg, WPARAM wParam, LPARAM lParam) {
    std::vector<HWND> targets;
    for (const auto& [h, w] : windows_)
      if (w.topLevel) targets.push_back(h);
    for (HWND h : targets) Send(h, msg, wParam, lParam);
  }

  bool Peek(TMsg& msg) {
    if (QueueEmpty() || sincePoll_ >= kMessagesBetweenPolls) {
      sincePoll_ = 0;
      if (watches_.PollAndDispatch(wakePipe_[0], 0)) DrainWakePipe();
    }
    if (TakePosted(msg)) {
      ++sincePoll_;
      return true;
    }
    if (auto timer = timers_.TakeDue(TickCount())) {
      msg = *timer;
      return true;
    }
    return false;
  }

  void Wait(int timeoutMs) {
    if (!QueueEmpty()) return;
    int timerMs = timers_.MsUntilNext(TickCount());
    int ms = timerMs;
    if (timeoutMs >= 0 && (ms < 0 || timeoutMs < ms)) ms = timeoutMs;
    if (watches_.PollAndDispatch(wakePipe_[0], ms)) DrainWakePipe();
  }

  LRESULT Dispatch(const TMsg& msg) {
    if (msg.hwnd == 0) return 0;
    return Send(msg.hwnd, msg.message, msg.wParam, msg.lParam);
  }

  std::uintptr_t SetTimer(HWND wnd, std::uintptr_t id, UINT ms) {
    if (!Exists(wnd)) return 0;
    timers_.Set(wnd, id, ms < kTimerMinimumMs ? kTimerMinimumMs : ms, TickCount());
    return id == 0 ? 1 : id;
  }
  bool KillTimer(HWND wnd, std::uintptr_t id) { return timers_.Kill(wnd, id); }

  FdWatchSet& Watches() { return watches_; }

 private:
  bool QueueEmpty() {
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.empty();
  }

  // Takes the first posted message whose window still exists; the others are dropped.
  bool TakePosted(TMsg& msg) {
    std::lock_guard<std::mutex> lock(mutex_);
    while (!queue_.empty()) {
      msg = queue_.front();
      queue_.pop_front();
      if (msg.hwnd == 0 || Exists(msg.hwnd)) return true;
    }
    return false;
  }

  void DrainWakePipe() {
    char buf[256];
    while (::read(wakePipe_[0], buf, sizeof buf) > 0) {
    }
  }

  std::mutex mutex_;
  std::deque<TMsg> queue_;
  std::map<HWND, Window> windows_;
  HWND nextHandle_ = 1;
  TimerQueue timers_;
  FdWatchSet watches_;
  int wakePipe_[2] = {-1, -1};
  int sincePoll_ = 0;
  std::thread::id owner_ = std::this_thread::get_id();
};

Loop& TheLoop() {
  static Loop loop;
  return loop;
}

}  // namespace

HWND AllocateHWnd(TWndProc proc, bool topLevel) {
  return TheLoop().Allocate(std::move(proc), topLevel);
}
bool DestroyWindow(HWND wnd) {
  return TheLoop().Destroy(wnd);
}
bool IsWindow(HWND wnd) {
  return TheLoop().Exists(wnd);
}

bool PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Loop& loop = TheLoop();
  // The window table belongs to the loop's thread; a post from any other thread is checked
  // when it is taken from the queue instead.
  if (wnd != 0 && loop.OnLoopThread() && !loop.Exists(wnd)) return false;
  loop.Post(TMsg{wnd, msg, wParam, lParam});
  return true;
}

LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return TheLoop().Send(wnd, msg, wParam, lParam);
}

void BroadcastMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  TheLoop().Broadcast(msg, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
  TheLoop().Post(TMsg{0, WM_QUIT, static_cast<WPARAM>(exitCode), 0});
}

bool PeekMessage(TMsg& msg) {
  return TheLoop().Peek(msg);
}
void WaitMessage(int timeoutMs) {
  TheLoop().Wait(timeoutMs);
}

bool GetMessage(TMsg& msg) {
  while (!PeekMessage(msg)) WaitMessage();
  return msg.message != WM_QUIT;
}

bool PumpWhile(const std::function<bool()>& keepGoing) {
  TMsg msg;
  while (keepGoing()) {
    if (!PeekMessage(msg)) {
      WaitMessage();
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    DispatchMessage(msg);
  }
  return true;
}

LRESULT DispatchMessage(const TMsg& msg) {
  return TheLoop().Dispatch(msg);
}

std::uintptr_t SetTimer(HWND wnd, std::uintptr_t id, UINT intervalMs) {
  return TheLoop().SetTimer(wnd, id, intervalMs);
}
bool KillTimer(HWND wnd, std::uintptr_t id) {
  return TheLoop().KillTimer(wnd, id);
}

int WatchFd(int fd, short events, TFdCallback callback) {
  return TheLoop().Watches().Add(fd, events, std::move(callback));
}
void SetWatchEvents(int watchId, short events) {
  TheLoop().Watches().SetEvents(watchId, events);
}
void UnwatchFd(int watchId) {
  TheLoop().Watches().Remove(watchId);
}

std::uint64_t TickCount() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

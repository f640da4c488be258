#include "support/LoopRunner.h"

#include "platform/MessageLoop.h"

namespace {
bool sawQuit = false;
}

bool RunLoopUntil(const std::function<bool()>& done, int timeoutMs) {
  const std::uint64_t deadline = TickCount() + static_cast<std::uint64_t>(timeoutMs);
  TMsg msg;
  while (!done()) {
    std::uint64_t now = TickCount();
    if (now >= deadline) return done();
    if (PeekMessage(msg)) {
      if (msg.message == WM_QUIT)
        sawQuit = true;
      else
        DispatchMessage(msg);
      continue;
    }
    WaitMessage(static_cast<int>(deadline - now));
  }
  return true;
}

void DrainMessages() {
  TMsg msg;
  while (PeekMessage(msg)) {
    if (msg.message == WM_QUIT)
      sawQuit = true;
    else
      DispatchMessage(msg);
  }
}

bool SawQuit() {
  return sawQuit;
}

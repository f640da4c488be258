#include "forms/Timer.h"

#include "forms/Application.h"
#include "forms/LifeGuard.h"
#include "platform/MessageLoop.h"

namespace {
constexpr std::uintptr_t kTimerId = 1;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  FWindowHandle = AllocateHWnd([this](UINT m, WPARAM w, LPARAM l) { return WndProc(m, w, l); });
  // A new timer is enabled with its default interval, so it must already be counting: one
  // that only started on the first property change would never tick with its defaults.
  UpdateTimer();
}

TTimer::~TTimer() {
  FEnabled = false;
  UpdateTimer();
  DestroyWindow(FWindowHandle);
}

void TTimer::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned value) {
  if (value == FInterval) return;
  FInterval = value;
  UpdateTimer();
}

// Every change restarts the countdown, so a re-enabled timer waits a full interval.
void TTimer::UpdateTimer() {
  if (FRunning) KillTimer(FWindowHandle, kTimerId);
  FRunning = false;
  if (FEnabled && FInterval > 0 && !InDestroyingState())
    FRunning = SetTimer(FWindowHandle, kTimerId, FInterval) != 0;
}

void TTimer::Timer() {
  if (!FEnabled || !OnTimer) return;
  // A one-shot handler may free its timer, and with it OnTimer; the copy keeps the handler
  // whole until it returns.
  auto handler = OnTimer;
  handler(this);
}

LRESULT TTimer::WndProc(UINT msg, WPARAM, LPARAM) {
  // A handler that opens a modal window (or the message box of its own exception) runs a
  // nested loop in which this timer keeps ticking; those ticks are dropped, so a handler
  // never runs inside itself and a failing one cannot pile up message boxes.
  if (msg != WM_TIMER || FInTimer) return 0;
  TLifeGuard guard(this);
  FInTimer = true;
  try {
    Timer();
  } catch (...) {
    if (Application) Application->HandleException(guard.Alive() ? this : nullptr);
  }
  // The handler may have freed the timer: then nothing of it may be touched any more.
  if (!guard.Alive()) return 0;
  FInTimer = false;
  return 0;
}

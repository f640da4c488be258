#include "forms/Timer.h"

#include "forms/Application.h"
#include "platform/MessageLoop.h"

namespace {
constexpr std::uintptr_t kTimerId = 1;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  FWindowHandle = AllocateHWnd([this](UINT m, WPARAM w, LPARAM l) { return WndProc(m, w, l); });
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
  if (FEnabled && OnTimer) OnTimer(this);
}

LRESULT TTimer::WndProc(UINT msg, WPARAM, LPARAM) {
  if (msg != WM_TIMER) return 0;
  try {
    Timer();
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
  return 0;
}

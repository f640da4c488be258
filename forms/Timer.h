#pragma once
// A component that fires OnTimer every Interval milliseconds while it is enabled, through
// the message loop (WM_TIMER to its own hidden window), so ticks never interrupt a handler.

#include <functional>

#include "forms/Component.h"
#include "platform/Messages.h"

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner = nullptr);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned value);

  // Looked at on each tick, so it may be assigned or cleared at any time.
  std::function<void(TObject* Sender)> OnTimer;

 protected:
  virtual void Timer();

 private:
  void UpdateTimer();
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);

  HWND FWindowHandle = 0;
  unsigned FInterval = 1000;
  bool FEnabled = true;
  bool FRunning = false;
  bool FInTimer = false;
};

#pragma once
// Runs the real message loop in tests until a condition holds, bounded by a reaper time
// so that a broken test fails in seconds instead of hanging.

#include <functional>

// Dispatches messages (waiting in poll() between them) until done() is true or timeoutMs
// has passed. Returns done()'s final value. WM_QUIT met on the way is kept for the caller
// in SawQuit().
bool RunLoopUntil(const std::function<bool()>& done, int timeoutMs = 5000);
// Dispatches whatever is pending right now, without waiting.
void DrainMessages();
bool SawQuit();

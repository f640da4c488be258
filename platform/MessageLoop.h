#pragma once
// The one message loop of the program's user-interface thread.
//
// Posted messages go to window handles; a window is a procedure plus a handle. Waiting is a
// single poll() over a wake-up pipe (so that other threads may post), every watched file
// descriptor (sockets, the display connection) and the nearest timer, so a waiting loop
// never spins. Everything except PostMessage must be called on the loop's thread.

#include <chrono>
#include <cstdint>
#include <functional>

#include "platform/Messages.h"

// Windows: AllocateHWnd creates a window that only receives messages (hidden socket and
// POP3 windows, forms). A top-level window also receives broadcasts such as WM_FONTCHANGE.
HWND AllocateHWnd(TWndProc proc, bool topLevel = false);
// Destroys the window. Messages still queued for it are dropped, never delivered, and a
// handle is never reused, so a stale handle can only miss.
bool DestroyWindow(HWND wnd);
bool IsWindow(HWND wnd);

// Queues a message for the window; safe from any thread. False when the window does not
// exist (from the loop's thread) — a post from another thread is checked at dispatch.
bool PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Calls the window's procedure at once; 0 when the window does not exist.
LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Sends the message to every top-level window, in creation order.
void BroadcastMessage(UINT msg, WPARAM wParam, LPARAM lParam);
// Queues WM_QUIT (hwnd 0) behind what is already posted.
void PostQuitMessage(int exitCode);

// Takes the next message without waiting: posted messages first (after looking at watched
// descriptors when the queue runs dry), then one due timer as WM_TIMER. False when nothing
// is pending.
bool PeekMessage(TMsg& msg);
// Blocks until something may be pending: a post, a ready descriptor or a due timer. A
// timeout in milliseconds (negative: none) bounds the wait.
void WaitMessage(int timeoutMs = -1);
// Waits for and takes the next message; false when it is WM_QUIT.
bool GetMessage(TMsg& msg);
// Hands a message to its window's procedure; messages for destroyed windows are dropped.
LRESULT DispatchMessage(const TMsg& msg);

// A nested loop: dispatches messages, sleeping in poll() between them, for as long as
// keepGoing() holds. WM_QUIT ends it early and is posted again for the outer loop, which
// owns it; the result is then false.
bool PumpWhile(const std::function<bool()>& keepGoing);

// Timers: WM_TIMER with wParam = id goes to the window each time the interval has passed,
// generated only when no posted message is waiting. Setting an existing id restarts it.
// Intervals under 10 ms count as 10 ms, as on Windows.
std::uintptr_t SetTimer(HWND wnd, std::uintptr_t id, UINT intervalMs);
bool KillTimer(HWND wnd, std::uintptr_t id);

// File-descriptor watches, for the WinSock layer and the display backends. The callback
// runs on the loop's thread with poll()'s revents whenever the descriptor is ready for one
// of the requested events; it usually posts messages. Events 0 suspends the watch.
using TFdCallback = std::function<void(short revents)>;
int WatchFd(int fd, short events, TFdCallback callback);
void SetWatchEvents(int watchId, short events);
void UnwatchFd(int watchId);

// Milliseconds on a monotonic clock, for timers and time bounds.
std::uint64_t TickCount();

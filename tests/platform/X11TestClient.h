#pragma once
// A second X client for the X11 tests, for what xdotool cannot do. Kept apart so that
// Xlib's macros (None, Bool, Status, ...) stay out of the test files.

#include <string>

// Sends the window manager's close request (WM_PROTOCOLS / WM_DELETE_WINDOW) to a window.
bool SendCloseRequest(const std::string& display, unsigned long window);
// Destroys a window of another client, as a window manager may do.
bool DestroyForeignWindow(const std::string& display, unsigned long window);

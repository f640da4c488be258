#pragma once
// The library's own hidden window. Work that must happen on the loop's thread after the
// current message has been handled (a lookup that finished on a worker, a closed
// connection whose last notifications are due) is posted to it.

#include "platform/Messages.h"

namespace winsock::detail {

constexpr UINT kSettleSocketMessage = WM_USER + 1;  // wParam = SOCKET
constexpr UINT kLookupDoneMessage = WM_USER + 2;    // wParam = lookup HANDLE

// Created on first use; must be called on the loop's thread.
HWND InternalWindow();

}  // namespace winsock::detail

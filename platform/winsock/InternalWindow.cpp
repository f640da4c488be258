#include "platform/winsock/InternalWindow.h"

#include "platform/MessageLoop.h"
#include "platform/winsock/AsyncSelect.h"
#include "platform/winsock/HostLookup.h"

namespace winsock::detail {

namespace {

LRESULT Procedure(UINT msg, WPARAM wParam, LPARAM) {
  if (msg == kSettleSocketMessage)
    SettleSocket(static_cast<SOCKET>(wParam));
  else if (msg == kLookupDoneMessage)
    DeliverLookup(static_cast<HANDLE>(wParam));
  return 0;
}

}  // namespace

HWND InternalWindow() {
  static HWND wnd = 0;
  if (wnd == 0 || !IsWindow(wnd)) wnd = AllocateHWnd(&Procedure);
  return wnd;
}

}  // namespace winsock::detail

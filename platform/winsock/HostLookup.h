#pragma once
// Asynchronous host lookups (WSAAsyncGetHostByName / ByAddr). The resolver runs on a
// detached worker thread that only ever touches state it shares through shared_ptr; the
// caller's buffer is written on the loop's thread, just before the caller's message is
// sent, and never once the request has been cancelled.

#include <cstdint>
#include <string>

#include "platform/winsock/Winsock.h"

namespace winsock::detail {

// Both return the request handle, or 0 with the last error set. Loop's thread only.
HANDLE StartNameLookup(HWND wnd, UINT msg, const std::string& name, char* buf, int bufLen);
HANDLE StartAddressLookup(HWND wnd, UINT msg, std::uint32_t address, char* buf, int bufLen);

// 0 when the request was pending (it will never be delivered), else SOCKET_ERROR.
int CancelLookup(HANDLE request);
// Forgets every pending request (the last WSACleanup).
void CancelAllLookups();
// Writes the finished request's entry into the caller's buffer and sends its message.
void DeliverLookup(HANDLE request);

void SetLookupDelay(int milliseconds);

}  // namespace winsock::detail

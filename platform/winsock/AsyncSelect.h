#pragma once
// WSAAsyncSelect over the message loop's descriptor watches. Each notification is one
// posted message (wParam = SOCKET, lParam = MAKELONG(event bit, error)), following
// WinSock's re-enabling rules: an event is posted once and then only again after the call
// that re-enables it. A socket is polled only for events that could be posted now, so an
// unread socket whose FD_READ is disabled costs no CPU. Everything runs on the loop's
// thread.

#include "platform/winsock/SocketRecord.h"

namespace winsock::detail {

// Registers (or with mask 0 / msg 0 stops) the notifications of a socket.
void SelectEvents(const SocketPtr& rec, HWND wnd, UINT msg, long mask);
// Drops the descriptor watch; for closesocket.
void StopEvents(SocketRecord& rec);

// The re-enabling calls.
void NoteReceive(const SocketPtr& rec);
void NoteSendBlocked(const SocketPtr& rec);
void NoteAccept(const SocketPtr& rec);
void NoteListening(const SocketPtr& rec);
void NoteConnectStarted(const SocketPtr& rec);
// connect() finished at once (wsaError 0: connected). A registered socket still hears of it
// only through FD_CONNECT from the loop, as on WinSock.
void NoteConnectFinished(const SocketPtr& rec, int wsaError);

// Posts what a closed connection still owes (FD_READ for data left, then FD_CLOSE).
void SettleSocket(SOCKET s);

}  // namespace winsock::detail

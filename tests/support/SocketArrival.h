#pragma once
// A wait, without running the message loop, for bytes to reach a WinSock socket of the
// stand-in: for cases that must keep the loop still until the system holds what the case
// needs (data that must already wait when the loop looks, a reset that a send must meet).

#include "platform/winsock/Winsock.h"

// True once at least `bytes` bytes wait in the socket, or its connection has ended (the
// peer's end or a reset); false after ms.
bool WaitForArrival(winsock::SOCKET socket, int bytes, int ms = 5000);

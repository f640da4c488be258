#pragma once
// What the library knows about one socket: its descriptor and the state of its
// asynchronous notifications (WSAAsyncSelect).

#include <memory>

#include "platform/winsock/Winsock.h"

namespace winsock::detail {

enum class SocketRole {
  kFresh,          // created, maybe bound; neither connecting nor listening
  kConnecting,     // connect() under way
  kConnected,      // connected stream, or any datagram socket
  kConnectFailed,  // connect() ended in an error; WinSock sends nothing more
  kListening,
};

struct SocketRecord {
  SOCKET handle = INVALID_SOCKET;
  int fd = -1;
  bool stream = true;
  SocketRole role = SocketRole::kFresh;
  bool sendShutDown = false;     // shutdown(SD_SEND/SD_BOTH) was called
  int pendingDatagramError = 0;  // a datagram error waiting for the next receive

  // Registration: where notifications go and which ones are wanted (mask 0: none).
  HWND wnd = 0;
  UINT msg = 0;
  long mask = 0;
  int watchId = 0;

  // WinSock's re-enabling: an event is posted once, then not again until the call that
  // re-enables it (recv for FD_READ, a blocked send for FD_WRITE, accept for FD_ACCEPT).
  bool readArmed = false;
  bool writeArmed = false;
  bool acceptArmed = false;
  bool closeArmed = false;
  bool peerClosed = false;  // end of stream or reset seen; nothing more will arrive
  int closeError = 0;       // WinSock number for FD_CLOSE
  bool settleQueued = false;
  bool suspended = false;  // poll reported a condition nothing can consume; wait for a call
};

using SocketPtr = std::shared_ptr<SocketRecord>;

}  // namespace winsock::detail

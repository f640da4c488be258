// The system socket names first, before Winsock.h can meet their macros.
#include "platform/winsock/PosixNames.h"

#include "platform/winsock/AsyncSelect.h"

#include <cerrno>

#include "platform/MessageLoop.h"
#include "platform/winsock/ErrorMap.h"
#include "platform/winsock/InternalWindow.h"
#include "platform/winsock/SocketTable.h"

namespace winsock::detail {

namespace {

constexpr short kTrouble = POLLERR | POLLHUP | POLLNVAL;

void Notify(const SocketRecord& rec, long bit, int error) {
  if ((rec.mask & bit) == 0) return;
  PostMessage(rec.wnd, rec.msg, static_cast<WPARAM>(rec.handle),
              MAKELONG(static_cast<std::uint16_t>(bit), static_cast<std::uint16_t>(error)));
}

bool Wants(const SocketRecord& rec, long bit) {
  return (rec.mask & bit) != 0;
}

int PendingSocketError(int fd) {
  int err = 0;
  socklen_t len = sizeof err;
  if (::getsockopt(fd, posix::kSolSocket, SO_ERROR, &err, &len) != 0) return errno;
  return err;
}

int BytesWaiting(int fd) {
  int n = 0;
  if (::ioctl(fd, posix::kFionread, &n) != 0) return 0;
  return n;
}

short StreamEvents(const SocketRecord& rec) {
  short ev = 0;
  if (rec.writeArmed && Wants(rec, FD_WRITE)) ev |= POLLOUT;
  // After the end of the stream nothing new can arrive; what is still owed is posted by
  // SettleSocket, because a readable end of stream would wake poll() forever.
  if (rec.peerClosed) return ev;
  if (rec.readArmed && Wants(rec, FD_READ)) ev |= POLLIN;
  // POLLRDHUP sees the peer's close even while unread data keeps FD_READ disabled.
  if (rec.mask & (FD_READ | FD_CLOSE)) ev |= POLLRDHUP;
  return ev;
}

short WantedEvents(const SocketRecord& rec) {
  if (rec.mask == 0 || rec.suspended) return 0;
  switch (rec.role) {
    case SocketRole::kConnecting:
      return POLLOUT;
    case SocketRole::kListening:
      return (rec.acceptArmed && Wants(rec, FD_ACCEPT)) ? POLLIN : 0;
    case SocketRole::kConnected:
      break;
    default:
      return 0;
  }
  if (rec.stream) return StreamEvents(rec);
  short ev = 0;
  if (rec.writeArmed && Wants(rec, FD_WRITE)) ev |= POLLOUT;
  if (rec.readArmed && Wants(rec, FD_READ)) ev |= POLLIN;
  return ev;
}

// Whether a closed connection still owes a notification that can be posted now.
bool SettleHasWork(const SocketRecord& rec) {
  if (rec.mask == 0 || !rec.stream || !rec.peerClosed || rec.role != SocketRole::kConnected)
    return false;
  bool dataLeft = Wants(rec, FD_READ) && BytesWaiting(rec.fd) > 0;
  if (dataLeft) return rec.readArmed;
  return rec.closeArmed && Wants(rec, FD_CLOSE);
}

void Update(SocketRecord& rec) {
  if (rec.watchId == 0) return;
  SetWatchEvents(rec.watchId, WantedEvents(rec));
  if (!rec.settleQueued && SettleHasWork(rec)) {
    rec.settleQueued = true;
    PostMessage(InternalWindow(), kSettleSocketMessage, static_cast<WPARAM>(rec.handle), 0);
  }
}

void MarkPeerClosed(SocketRecord& rec, int wsaError) {
  if (!rec.peerClosed && rec.closeError == 0)
    rec.closeError = wsaError != 0 ? wsaError : WsaFromErrno(PendingSocketError(rec.fd));
  rec.peerClosed = true;
}

void BecomeConnected(SocketRecord& rec) {
  rec.role = SocketRole::kConnected;
  rec.readArmed = rec.writeArmed = rec.closeArmed = true;
  rec.peerClosed = false;
  rec.closeError = 0;
}

bool FinishConnect(SocketRecord& rec, short revents) {
  int err = PendingSocketError(rec.fd);
  // A hang-up without a pending error still means the connection never came about.
  if (err == 0 && (revents & POLLOUT) == 0) err = ECONNREFUSED;
  if (err != 0) {
    rec.role = SocketRole::kConnectFailed;
    Notify(rec, FD_CONNECT, WsaFromErrno(err));
    return true;
  }
  BecomeConnected(rec);
  Notify(rec, FD_CONNECT, 0);
  if (Wants(rec, FD_WRITE)) {
    Notify(rec, FD_WRITE, 0);
    rec.writeArmed = false;
  }
  return true;
}

// Looks at the head of the stream without taking anything.
bool ReadyStreamInput(SocketRecord& rec, short revents) {
  char byte;
  ssize_t n = ::recv(rec.fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  if (n > 0) {
    if (revents & POLLRDHUP) MarkPeerClosed(rec, 0);
    if (!rec.readArmed || !Wants(rec, FD_READ)) return (revents & POLLRDHUP) != 0;
    Notify(rec, FD_READ, 0);
    rec.readArmed = false;
    return true;
  }
  if (n == 0) {
    MarkPeerClosed(rec, 0);
    return true;
  }
  if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return false;
  MarkPeerClosed(rec, WsaFromErrno(errno));
  return true;
}

bool ReadyStream(SocketRecord& rec, short revents) {
  bool progress = false;
  if (revents & (POLLERR | POLLHUP)) {
    // A reset, or both directions shut: nothing can be sent any more.
    MarkPeerClosed(rec, 0);
    rec.writeArmed = false;
    progress = true;
  }
  if ((revents & POLLOUT) && rec.writeArmed && Wants(rec, FD_WRITE)) {
    Notify(rec, FD_WRITE, 0);
    rec.writeArmed = false;
    progress = true;
  }
  if ((revents & (POLLIN | POLLRDHUP)) && !rec.peerClosed)
    progress = ReadyStreamInput(rec, revents) || progress;
  return progress;
}

bool ReadyDatagram(SocketRecord& rec, short revents) {
  bool progress = false;
  if (revents & POLLERR) {
    // An ICMP error on a connected datagram socket; the next receive reports it.
    rec.pendingDatagramError = WsaFromErrno(PendingSocketError(rec.fd));
    progress = true;
  }
  if ((revents & POLLOUT) && rec.writeArmed && Wants(rec, FD_WRITE)) {
    Notify(rec, FD_WRITE, 0);
    rec.writeArmed = false;
    progress = true;
  }
  if ((revents & (POLLIN | POLLERR)) && rec.readArmed && Wants(rec, FD_READ)) {
    Notify(rec, FD_READ, 0);
    rec.readArmed = false;
    progress = true;
  }
  return progress;
}

bool ReadyListening(SocketRecord& rec, short revents) {
  if ((revents & POLLIN) == 0 || !rec.acceptArmed) return false;
  Notify(rec, FD_ACCEPT, 0);
  rec.acceptArmed = false;
  return true;
}

void OnReady(SOCKET s, short revents) {
  SocketPtr rec = SocketTable::Instance().Find(s);
  if (!rec || rec->mask == 0) return;
  bool progress = false;
  if (rec->role == SocketRole::kConnecting)
    progress = FinishConnect(*rec, revents);
  else if (rec->role == SocketRole::kListening)
    progress = ReadyListening(*rec, revents);
  else if (rec->role == SocketRole::kConnected)
    progress = rec->stream ? ReadyStream(*rec, revents) : ReadyDatagram(*rec, revents);
  // poll() reports errors and hang-ups whatever was asked; one that changed nothing would
  // wake the loop again at once, so the socket rests until the program calls it again.
  if (!progress && (revents & kTrouble)) rec->suspended = true;
  Update(*rec);
}

void Rearm(const SocketPtr& rec, bool SocketRecord::*flag) {
  rec.get()->*flag = true;
  rec->suspended = false;
  Update(*rec);
}

}  // namespace

void SelectEvents(const SocketPtr& rec, HWND wnd, UINT msg, long mask) {
  mask &= FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE;
  if (!rec->stream) mask &= FD_READ | FD_WRITE;
  if (mask == 0 || msg == 0) {
    rec->mask = 0;
    if (rec->watchId != 0) SetWatchEvents(rec->watchId, 0);
    return;
  }
  rec->wnd = wnd;
  rec->msg = msg;
  rec->mask = mask;
  // A new registration reports every condition that already holds, as WinSock does.
  rec->readArmed = rec->writeArmed = rec->acceptArmed = rec->closeArmed = true;
  rec->suspended = false;
  if (rec->watchId == 0) {
    SOCKET h = rec->handle;
    rec->watchId = WatchFd(rec->fd, 0, [h](short revents) { OnReady(h, revents); });
  }
  Update(*rec);
}

void StopEvents(SocketRecord& rec) {
  if (rec.watchId != 0) UnwatchFd(rec.watchId);
  rec.watchId = 0;
  rec.mask = 0;
}

void NoteReceive(const SocketPtr& rec) {
  Rearm(rec, &SocketRecord::readArmed);
}
void NoteSendBlocked(const SocketPtr& rec) {
  Rearm(rec, &SocketRecord::writeArmed);
}
void NoteAccept(const SocketPtr& rec) {
  Rearm(rec, &SocketRecord::acceptArmed);
}

void NoteListening(const SocketPtr& rec) {
  rec->role = SocketRole::kListening;
  Rearm(rec, &SocketRecord::acceptArmed);
}

void NoteConnectStarted(const SocketPtr& rec) {
  rec->role = SocketRole::kConnecting;
  Update(*rec);
}

void NoteConnectFinished(const SocketPtr& rec, int wsaError) {
  if (wsaError != 0) {
    rec->role = SocketRole::kConnectFailed;
    Notify(*rec, FD_CONNECT, wsaError);
  } else {
    BecomeConnected(*rec);
    Notify(*rec, FD_CONNECT, 0);
  }
  Update(*rec);
}

void SettleSocket(SOCKET s) {
  SocketPtr rec = SocketTable::Instance().Find(s);
  if (!rec) return;
  rec->settleQueued = false;
  if (!SettleHasWork(*rec)) return;
  int waiting = Wants(*rec, FD_READ) ? BytesWaiting(rec->fd) : 0;
  if (waiting > 0) {
    Notify(*rec, FD_READ, 0);
    rec->readArmed = false;
  } else {
    if (rec->closeError == 0) rec->closeError = WsaFromErrno(PendingSocketError(rec->fd));
    Notify(*rec, FD_CLOSE, rec->closeError);
    rec->closeArmed = false;
  }
  Update(*rec);
}

}  // namespace winsock::detail

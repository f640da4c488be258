// The system socket names first, before Winsock.h can meet their macros.
#include "platform/winsock/PosixNames.h"

#include "support/SocketArrival.h"

#include "platform/winsock/SocketTable.h"

bool WaitForArrival(winsock::SOCKET socket, int bytes, int ms) {
  const winsock::detail::SocketPtr record = winsock::detail::SocketTable::Instance().Find(socket);
  if (!record) return false;
  // poll() reports a stream readable only once this many bytes wait (or it has ended).
  int lowWater = bytes > 0 ? bytes : 1;
  ::setsockopt(record->fd, posix::kSolSocket, SO_RCVLOWAT, &lowWater, sizeof lowWater);
  pollfd p{record->fd, POLLIN, 0};
  const bool arrived = ::poll(&p, 1, ms) == 1;
  lowWater = 1;
  ::setsockopt(record->fd, posix::kSolSocket, SO_RCVLOWAT, &lowWater, sizeof lowWater);
  return arrived;
}

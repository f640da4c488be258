#include "net/CustomSyncWSocket.h"

#include "platform/MessageLoop.h"

TCustomSyncWSocket::TCustomSyncWSocket(TNetComponent* owner) : TCustomLineWSocket(owner) {}

int TCustomSyncWSocket::WaitUntil(std::uint8_t& flag, const std::function<void()>& proc) {
  flag = 0;
  if (proc) proc();
  return WaitForFlag(flag);
}

int TCustomSyncWSocket::WaitForFlag(std::uint8_t& flag) {
  for (;;) {
    if (flag != 0) return 0;
    if (Terminated()) return 12001;
    PumpMessages();
    // Sleep in poll() until something arrives rather than spinning on the flag.
    if (flag == 0 && !Terminated()) WaitMessage(-1);
  }
}

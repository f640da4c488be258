#pragma once
// The socket component as applications use it: the whole class chain, nothing added.

#include "net/CustomSyncWSocket.h"

class TWSocket : public TCustomSyncWSocket {
 public:
  explicit TWSocket(TNetComponent* owner = nullptr) : TCustomSyncWSocket(owner) {}
};

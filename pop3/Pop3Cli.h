#pragma once
// The POP3 client as the program uses it: the whole engine, nothing added.

#include "pop3/CustomPop3Cli.h"

class TPop3Cli : public TCustomPop3Cli {
 public:
  explicit TPop3Cli(TNetComponent* owner = nullptr) : TCustomPop3Cli(owner) {}
};

#pragma once
// The enumerations, event types and exception of the POP3 client.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "net/Object.h"

// The order matters: the command guards compare protocol states with < and >.
enum TPop3ProtocolState : std::uint8_t {
  pop3Disconnected = 0,
  pop3WaitingUser = 1,
  pop3WaitingPass = 2,
  pop3Transaction = 3
};

enum TPop3ComponentState : std::uint8_t {
  pop3Idle = 0,
  pop3Resolving = 1,
  pop3Connecting = 2,
  pop3Connected = 3,
  pop3BetweenSteps = 4,
  pop3AwaitingGreeting = 5,
  pop3AwaitingReply = 6,
  pop3Aborting = 7
};

enum TPop3Request : std::uint8_t {
  pop3RqConnect = 0,
  pop3RqUser = 1,
  pop3RqPass = 2,
  pop3RqRpop = 3,
  pop3RqQuit = 4,
  pop3RqStat = 5,
  pop3RqList = 6,
  pop3RqRetr = 7,
  pop3RqTop = 8,
  pop3RqDele = 9,
  pop3RqNoop = 10,
  pop3RqLast = 11,
  pop3RqRset = 12,
  pop3RqUidl = 13,
  pop3RqApop = 14,
  pop3RqLogin = 15
};

using TPop3Display = std::function<void(TObject* Sender, const std::string& Msg)>;
using TPop3RequestDone =
    std::function<void(TObject* Sender, TPop3Request RqType, std::uint16_t Error)>;
using TPop3Notify = std::function<void(TObject* Sender)>;
using TPop3SessionEvent = std::function<void(TObject* Sender, std::uint16_t Error)>;

// The text of a connection the server ended while a request waited for it.
inline constexpr char Pop3DisconnectedText[] = "-ERR Disconneced unexpectedly";

// Raised at once by an operation whose precondition fails; nothing has been sent then.
class Pop3Exception : public std::runtime_error {
 public:
  explicit Pop3Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

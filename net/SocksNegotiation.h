#pragma once
// The byte side of a SOCKS 4, 4A or 5 negotiation, without any socket: the fixed reply
// buffer with its held count, the reading of each reply as it trickles in, the requests
// the client sends, and the bytes of the destination that arrived behind a SOCKS 5 reply.
// TCustomSocksWSocket does the reading and sending and fires the events this decides.

#include <cstdint>
#include <string>

#include "net/SocksTypes.h"

enum TSocksPhase : std::uint8_t {
  socksPhaseNone = 0,          // no negotiation: the connection carries the destination's data
  socksPhaseMethod = 1,        // waiting for the SOCKS 5 method choice
  socksPhaseUserPass = 2,      // waiting for the user/password verdict
  socksPhaseConnectReply = 3,  // waiting for the reply to the connect request
};

enum class TSocksAction {
  Wait,          // the reply is not complete yet
  SendRequest,   // send the connect request now
  SendUserPass,  // start the user/password sub-negotiation
  Succeed,       // the proxy connected us; leftover bytes are ready to be served
  Fail,          // close with Error and Text
};

struct TSocksStep {
  TSocksAction Action = TSocksAction::Wait;
  bool HasAuthState = false;  // fire AuthState before acting
  TSocksAuthState AuthState = socksAuthBegin;
  int Error = 0;
  std::string Text;
};

class TSocksNegotiation {
 public:
  // Every request is built in, and every reply read into, an area of this size.
  static constexpr int AreaSize = 128;

  // Begins a negotiation: phase := method choice, nothing held, no leftover.
  void Start(bool socks4);
  // The SOCKS 5 greeting (version 5, one method), remembering which method it offers.
  std::string Greeting(bool offerUserPass);
  void Clear();
  TSocksPhase Phase() const { return FPhase; }
  void SetPhase(TSocksPhase phase) { FPhase = phase; }
  bool Socks4() const { return FSocks4; }

  // Where the next read goes, and how many bytes it may take (always at least 1 while a
  // reply is awaited: a reply that would not fit is failed before the buffer fills).
  std::uint8_t* ReadPointer() { return FBuffer + FHeld; }
  int ReadRoom() const;
  // count bytes were read into ReadPointer(); decides what comes next.
  TSocksStep Received(int count);

  int Held() const { return FHeld; }
  // Bytes of the destination that arrived behind a SOCKS 5 reply.
  int LeftoverCount() const { return FLeftoverCount; }
  // Copies up to size leftover bytes into dest; peek leaves them in place.
  int TakeLeftover(void* dest, int size, bool peek);
  // The bound address and port the SOCKS 5 proxy reported (dotted or a name; decimal).
  const std::string& BoundAddr() const { return FBoundAddr; }
  const std::string& BoundPort() const { return FBoundPort; }

  // The requests. Each returns false, leaving out empty, when it does not fit the area.
  static bool Socks4Request(std::string& out, std::uint16_t port, std::uint32_t addrNet,
                            const std::string& usercode, const std::string* host4A);
  static bool UserPassRequest(std::string& out, const std::string& user, const std::string& pass);
  static bool Socks5Request(std::string& out, const std::string& host, std::uint16_t port);

 private:
  TSocksStep OnMethodChoice();
  TSocksStep OnUserPassReply();
  TSocksStep OnSocks4Reply();
  TSocksStep OnSocks5Reply();
  TSocksStep Success(int replyLength);
  void KeepBoundAddress();

  TSocksPhase FPhase = socksPhaseNone;
  bool FSocks4 = false;
  bool FUserPassOffered = false;
  std::uint8_t FBuffer[AreaSize] = {};
  int FHeld = 0;
  int FLeftoverCount = 0;
  int FLeftoverPos = 0;
  std::string FBoundAddr;
  std::string FBoundPort;
};

// The failure a SOCKS 5 reply code (1 and up) or a SOCKS 4 reply code stands for.
TSocksStep SocksFailure(int error, const std::string& text);
TSocksStep Socks5ReplyFailure(int replyCode);
TSocksStep Socks4ReplyFailure(int replyCode);

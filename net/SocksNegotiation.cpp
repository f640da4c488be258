#include "net/SocksNegotiation.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int Socks4ReplyLength = 8;

TSocksStep WithAuthState(TSocksStep step, TSocksAuthState state) {
  step.HasAuthState = true;
  step.AuthState = state;
  return step;
}

TSocksStep Act(TSocksAction action) {
  TSocksStep step;
  step.Action = action;
  return step;
}

void PutPort(std::string& out, std::uint16_t port) {
  out += static_cast<char>(port >> 8);
  out += static_cast<char>(port & 0xFF);
}

}  // namespace

TSocksStep SocksFailure(int error, const std::string& text) {
  TSocksStep step;
  step.Action = TSocksAction::Fail;
  step.Error = error;
  step.Text = text;
  return step;
}

TSocksStep Socks5ReplyFailure(int replyCode) {
  static const char* const texts[] = {
      "general SOCKS server failure", "connection not allowed by ruleset",
      "network unreachable",          "host unreachable",
      "connection refused",           "time to live expired",
      "command not supported",        "address type not supported"};
  if (replyCode >= 1 && replyCode <= 8)
    return SocksFailure(socksReplyCodeBase + replyCode, texts[replyCode - 1]);
  return SocksFailure(socksUnassignedError, "unassigned error #" + std::to_string(replyCode));
}

TSocksStep Socks4ReplyFailure(int replyCode) {
  switch (replyCode) {
    case 91:
      return SocksFailure(socksRequestRejected, "request rejected or failed");
    case 92:
      return SocksFailure(socksReplyCodeBase + 5, "connection refused");
    case 93:
      return SocksFailure(socksAuthFailedError, "authentification failed");
    default:
      return SocksFailure(socksUnassignedError, "unassigned error #" + std::to_string(replyCode));
  }
}

void TSocksNegotiation::Start(bool socks4) {
  Clear();
  FSocks4 = socks4;
  FPhase = socksPhaseMethod;
}

void TSocksNegotiation::Clear() {
  FPhase = socksPhaseNone;
  FUserPassOffered = false;
  FHeld = 0;
  FLeftoverCount = 0;
  FLeftoverPos = 0;
  FBoundAddr.clear();
  FBoundPort.clear();
}

std::string TSocksNegotiation::Greeting(bool offerUserPass) {
  FUserPassOffered = offerUserPass;
  return std::string{5, 1, static_cast<char>(offerUserPass ? 2 : 0)};
}

int TSocksNegotiation::ReadRoom() const {
  if (FPhase == socksPhaseNone) return 0;
  // SOCKS 4 replies are read with an exact bound so that the destination's first bytes stay
  // in the socket; everything else goes into the buffer, one byte always kept spare.
  if (FPhase == socksPhaseConnectReply && FSocks4) return Socks4ReplyLength - FHeld;
  return AreaSize - 1 - FHeld;
}

TSocksStep TSocksNegotiation::Received(int count) {
  if (count <= 0) return TSocksStep{};
  FHeld = std::min(FHeld + count, AreaSize - 1);
  switch (FPhase) {
    case socksPhaseMethod:
      return OnMethodChoice();
    case socksPhaseUserPass:
      return OnUserPassReply();
    case socksPhaseConnectReply:
      return FSocks4 ? OnSocks4Reply() : OnSocks5Reply();
    default:
      return SocksFailure(socksInternalError, "internal error");
  }
}

TSocksStep TSocksNegotiation::OnMethodChoice() {
  if (FSocks4) return SocksFailure(socksLogicError, "TWSocket logic error");
  if (FHeld < 2) return TSocksStep{};
  // Anything the proxy sent behind the two bytes of its choice is dropped with them.
  FHeld = 0;
  if (FBuffer[0] != 5) return SocksFailure(socksVersionError, "socks version error");
  if (FBuffer[1] == 0) {
    TSocksStep step = Act(TSocksAction::SendRequest);
    return FUserPassOffered ? WithAuthState(step, socksAuthNotNeeded) : step;
  }
  if (FBuffer[1] == 2) return Act(TSocksAction::SendUserPass);
  return SocksFailure(socksMethodNotAcceptable, "authentification method not acceptable");
}

TSocksStep TSocksNegotiation::OnUserPassReply() {
  if (FBuffer[0] != 1)
    return WithAuthState(SocksFailure(socksVersionError, "socks version error"), socksAuthFailed);
  if (FHeld < 2) return TSocksStep{};
  if (FHeld > 2)
    return WithAuthState(SocksFailure(socksLogicError, "too much data availaible"),
                         socksAuthFailed);
  if (FBuffer[1] != 0)
    return WithAuthState(SocksFailure(socksAuthFailedError, "socks authentication failed"),
                         socksAuthFailed);
  FHeld = 0;
  return WithAuthState(Act(TSocksAction::SendRequest), socksAuthOk);
}

TSocksStep TSocksNegotiation::OnSocks4Reply() {
  if (FHeld < Socks4ReplyLength) return TSocksStep{};
  FHeld = 0;
  if (FBuffer[0] != 0) return SocksFailure(socksVersionError, "socks version error");
  if (FBuffer[1] != 90) return Socks4ReplyFailure(FBuffer[1]);
  return Success(0);
}

TSocksStep TSocksNegotiation::OnSocks5Reply() {
  if (FBuffer[0] != 5) return SocksFailure(socksVersionError, "socks version error");
  if (FHeld >= 2 && FBuffer[1] != 0) return Socks5ReplyFailure(FBuffer[1]);
  if (FHeld < 5) return TSocksStep{};
  const int addrType = FBuffer[3];
  const int length = addrType == 1 ? 10 : addrType == 3 ? FBuffer[4] + 7 : 5;
  // A bound name longer than the buffer can never be completed: waiting would leave the
  // socket readable forever with nowhere to put the bytes.
  if (length > AreaSize - 1) return SocksFailure(socksLimitError, "socks reply too long");
  if (FHeld < length) return TSocksStep{};
  if (addrType != 1 && addrType != 3)
    return SocksFailure(socksAddrTypeNotSupported, "address type not supported");
  KeepBoundAddress();
  return Success(length);
}

TSocksStep TSocksNegotiation::Success(int replyLength) {
  FPhase = socksPhaseNone;
  FLeftoverPos = replyLength;
  FLeftoverCount = std::max(0, FHeld - replyLength);
  return Act(TSocksAction::Succeed);
}

void TSocksNegotiation::KeepBoundAddress() {
  int portAt = 0;
  if (FBuffer[3] == 1) {
    FBoundAddr = std::to_string(FBuffer[4]) + "." + std::to_string(FBuffer[5]) + "." +
                 std::to_string(FBuffer[6]) + "." + std::to_string(FBuffer[7]);
    portAt = 8;
  } else {
    FBoundAddr.assign(reinterpret_cast<const char*>(FBuffer + 5), FBuffer[4]);
    portAt = 5 + FBuffer[4];
  }
  FBoundPort = std::to_string(FBuffer[portAt] * 256 + FBuffer[portAt + 1]);
}

int TSocksNegotiation::TakeLeftover(void* dest, int size, bool peek) {
  const int n = std::min(size, FLeftoverCount);
  if (n <= 0) return 0;
  std::memcpy(dest, FBuffer + FLeftoverPos, n);
  if (!peek) {
    FLeftoverPos += n;
    FLeftoverCount -= n;
  }
  return n;
}

bool TSocksNegotiation::Socks4Request(std::string& out, std::uint16_t port, std::uint32_t addrNet,
                                      const std::string& usercode, const std::string* host4A) {
  out.clear();
  const std::size_t size = 9 + usercode.size() + (host4A ? host4A->size() + 1 : 0);
  if (size > AreaSize) return false;
  out += '\x04';
  out += '\x01';
  PutPort(out, port);
  // The address is already in network order, which is the order of its bytes in memory.
  char addr[4];
  std::memcpy(addr, &addrNet, 4);
  out.append(addr, 4);
  out += usercode;
  out += '\0';
  if (host4A) {
    out += *host4A;
    out += '\0';
  }
  return true;
}

bool TSocksNegotiation::UserPassRequest(std::string& out, const std::string& user,
                                        const std::string& pass) {
  out.clear();
  if (3 + user.size() + pass.size() > AreaSize) return false;
  out += '\x01';
  out += static_cast<char>(user.size());
  out += user;
  out += static_cast<char>(pass.size());
  out += pass;
  return true;
}

bool TSocksNegotiation::Socks5Request(std::string& out, const std::string& host,
                                      std::uint16_t port) {
  out.clear();
  if (7 + host.size() > AreaSize) return false;
  out = std::string{5, 1, 0, 3};
  out += static_cast<char>(host.size());
  out += host;
  PutPort(out, port);
  return true;
}

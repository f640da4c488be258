// Feeds random proxy replies, cut into random pieces, to the SOCKS negotiation: whatever a
// proxy sends, the reply buffer must never overflow, a pending reply must always leave room
// for the next read (or the socket would stay readable with nowhere to put the bytes), and
// the bytes served after a SOCKS 5 reply must be exactly the ones that followed it.
//
// Input: byte 0 chooses the level, the offered method and the phase to start in; byte 1
// seeds the cutting; bytes 2.. are what the proxy sends.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "net/SocksNegotiation.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

struct TCutter {
  std::uint32_t state;
  int Next(int limit) {
    state = state * 1103515245u + 12345u;
    return 1 + static_cast<int>((state >> 16) % static_cast<std::uint32_t>(limit));
  }
};

void CheckStep(const TSocksStep& step) {
  if (step.Action != TSocksAction::Fail) return;
  Check(step.Error >= socksLogicError && step.Error <= socksResolveError);
  Check(!step.Text.empty());
}

void CheckLeftover(TSocksNegotiation& neg, const std::uint8_t* fed, int fedCount) {
  const int count = neg.LeftoverCount();
  Check(count >= 0 && count <= fedCount && count < TSocksNegotiation::AreaSize);
  std::uint8_t out[TSocksNegotiation::AreaSize];
  Check(neg.TakeLeftover(out, count, true) == count);
  Check(std::memcmp(out, fed + fedCount - count, count) == 0);
  // Served in two pieces, the bytes come out in order and then run dry.
  const int first = count / 2;
  Check(neg.TakeLeftover(out, first, false) == first);
  Check(neg.TakeLeftover(out + first, TSocksNegotiation::AreaSize, false) == count - first);
  Check(std::memcmp(out, fed + fedCount - count, count) == 0);
  Check(neg.LeftoverCount() == 0 && neg.TakeLeftover(out, 1, false) == 0);
}

void RunReplies(const std::uint8_t* data, int size) {
  const std::uint8_t mode = data[0];
  TCutter cutter{static_cast<std::uint32_t>(data[1]) * 2654435761u + 1};
  TSocksNegotiation neg;
  neg.Start((mode & 1) != 0);
  if (!neg.Socks4()) neg.Greeting((mode & 2) != 0);
  neg.SetPhase(static_cast<TSocksPhase>(1 + (mode >> 2) % 3));
  const std::uint8_t* stream = data + 2;
  const int total = size - 2;
  int pos = 0;
  int replyStart = 0;
  while (pos < total && neg.Phase() != socksPhaseNone) {
    const int room = neg.ReadRoom();
    Check(room >= 1 && neg.Held() + room <= TSocksNegotiation::AreaSize);
    int n = cutter.Next(room);
    if (n > total - pos) n = total - pos;
    std::memcpy(neg.ReadPointer(), stream + pos, n);
    pos += n;
    const TSocksStep step = neg.Received(n);
    CheckStep(step);
    Check(neg.Held() < TSocksNegotiation::AreaSize);
    switch (step.Action) {
      case TSocksAction::SendRequest:
        neg.SetPhase(socksPhaseConnectReply);
        replyStart = pos;
        break;
      case TSocksAction::SendUserPass:
        neg.SetPhase(socksPhaseUserPass);
        replyStart = pos;
        break;
      case TSocksAction::Succeed:
        Check(neg.Phase() == socksPhaseNone);
        CheckLeftover(neg, stream + replyStart, pos - replyStart);
        return;
      case TSocksAction::Fail:
        return;
      case TSocksAction::Wait:
        break;
    }
  }
}

// The requests either fit their 128-byte area exactly as laid out or are refused whole.
void RunRequests(const std::uint8_t* data, int size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = size > 0 ? data[0] % (size + 1) : 0;
  const std::string user = text.substr(0, cut);
  const std::string rest = text.substr(cut);
  std::string out;
  if (TSocksNegotiation::UserPassRequest(out, user, rest))
    Check(out.size() == 3 + user.size() + rest.size() && out.size() <= 128);
  else
    Check(out.empty() && 3 + user.size() + rest.size() > 128);
  if (TSocksNegotiation::Socks5Request(out, rest, 1080))
    Check(out.size() == 7 + rest.size() && static_cast<std::uint8_t>(out[4]) == rest.size());
  else
    Check(rest.size() + 7 > 128);
  if (TSocksNegotiation::Socks4Request(out, 1080, 0x01000000, user, &rest))
    Check(out.size() == 10 + user.size() + rest.size() && out.size() <= 128);
  else
    Check(out.empty() && 10 + user.size() + rest.size() > 128);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > 4096) return 0;
  RunReplies(data, static_cast<int>(size));
  RunRequests(data + 2, static_cast<int>(size) - 2);
  return 0;
}

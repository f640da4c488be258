// Bulk transfers through the send queue and the read loop: nothing lost, nothing
// reordered, and the queue's end reported once it has drained.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "SocketEventLog.h"
#include "platform/MessageLoop.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"

namespace {

using ::testing::IsEmpty;

constexpr size_t kTotal = 20 * 1024 * 1024;

// Position-dependent bytes, so that a lost, doubled or swapped piece shows up.
char PatternByte(size_t i) {
  return static_cast<char>((i * 7 + i / 4093) & 0xFF);
}

std::string Pattern(size_t from, size_t len) {
  std::string s(len, '\0');
  for (size_t i = 0; i < len; ++i) s[i] = PatternByte(from + i);
  return s;
}

// Piece sizes from 1 byte to a few blocks and beyond, deterministic.
size_t NextPieceSize(std::uint32_t& seed) {
  seed = seed * 1103515245u + 12345u;
  static const size_t kLimits[] = {1, 17, 1513, 1514, 1515, 4000, 70000};
  size_t limit = kLimits[(seed >> 16) % 7];
  return 1 + (seed >> 8) % limit;
}

TEST(SocketTransferTest, TwentyMegabytesSentInVaryingPiecesArriveInOrder) {
  // The whole pattern, in order, then an answer that wakes the component's loop.
  TScriptedPeer peer;
  peer.Expect(Pattern(0, kTotal)).Send("done");
  std::string answer;
  TWSocket socket;
  socket.OnDataAvailable = [&](TObject*, std::uint16_t) { answer += socket.ReceiveStr(); };
  size_t queued = 0;
  std::uint32_t seed = 1;
  auto queueUpTo = [&](size_t limit) {
    while (queued < limit) {
      size_t len = std::min(NextPieceSize(seed), limit - queued);
      ASSERT_EQ(socket.SendStr(Pattern(queued, len)), static_cast<int>(len));
      queued += len;
    }
  };
  // Every Send that empties the queue at once is followed by an OnDataSent, so the end
  // of the transfer may be reported more than once; it must be reported at least once.
  int dataSentAfterAll = 0;
  socket.OnSessionConnected = [&](TObject*, std::uint16_t error) {
    ASSERT_EQ(error, 0);
    queueUpTo(kTotal / 2);
  };
  // The second half goes out a megabyte at a time, each time the queue has drained.
  socket.OnDataSent = [&](TObject*, std::uint16_t) {
    if (queued < kTotal / 2) return;
    if (queued == kTotal) {
      ++dataSentAfterAll;
      return;
    }
    queueUpTo(std::min(kTotal, queued + 1024 * 1024));
  };
  AimAt(socket, peer.Port());
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return dataSentAfterAll > 0; }, 60000));
  EXPECT_EQ(queued, kTotal);
  ASSERT_TRUE(RunLoopUntil([&] { return answer == "done"; }, 60000));
  EXPECT_THAT(peer.Failures(), IsEmpty());
  EXPECT_GE(dataSentAfterAll, 1);
}

TEST(SocketTransferTest, TwentyMegabytesReceivedThroughTheReadLoop) {
  TScriptedPeer peer;
  std::uint32_t sendSeed = 7;
  for (size_t sent = 0; sent < kTotal;) {
    const size_t len = std::min(NextPieceSize(sendSeed), kTotal - sent);
    peer.Send(Pattern(sent, len));
    sent += len;
  }
  peer.Close();
  TWSocket socket;
  size_t received = 0;
  bool intact = true;
  bool closed = false, closedBeforeAll = false;
  std::uint32_t seed = 3;
  std::string buffer(70000, '\0');
  socket.OnDataAvailable = [&](TObject*, std::uint16_t) {
    int want = static_cast<int>(NextPieceSize(seed));
    int n = socket.Receive(buffer.data(), want);
    for (int i = 0; i < n; ++i)
      if (buffer[static_cast<size_t>(i)] != PatternByte(received + static_cast<size_t>(i)))
        intact = false;
    if (n > 0) received += static_cast<size_t>(n);
  };
  socket.OnSessionClosed = [&](TObject*, std::uint16_t) {
    closedBeforeAll = received != kTotal;
    closed = true;
  };
  AimAt(socket, peer.Port());
  socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return closed; }, 60000));
  EXPECT_EQ(received, kTotal);
  EXPECT_TRUE(intact);
  EXPECT_FALSE(closedBeforeAll);
}

// Flush returns once the queue has gone out, also on a paused socket, where no FD_WRITE
// says when the peer has made room; what Close finds queued still reaches the peer.
TEST(SocketTransferTest, QueuedDataReachesThePeerThroughFlushAndClose) {
  for (const bool paused : {false, true}) {
    SCOPED_TRACE(paused ? "paused" : "running");
    const size_t total = (paused ? 16 : 4) * 1024 * 1024;
    TScriptedPeer peer;
    peer.Expect(Pattern(0, total)).ExpectEnd();
    TWSocket socket;
    bool connected = false;
    socket.OnSessionConnected = [&](TObject*, std::uint16_t) { connected = true; };
    AimAt(socket, peer.Port());
    socket.Connect();
    ASSERT_TRUE(RunLoopUntil([&] { return connected; }));
    // Flush waits inside the component, so the reaper is a timer that aborts it.
    HWND reaper = AllocateHWnd([&](UINT msg, WPARAM, LPARAM) -> LRESULT {
      if (msg == WM_TIMER) socket.Abort();
      return 0;
    });
    SetTimer(reaper, 1, 20000);
    if (paused) socket.Pause();
    socket.SendStr(Pattern(0, total));
    socket.Flush();
    KillTimer(reaper, 1);
    DestroyWindow(reaper);
    EXPECT_EQ(socket.State(), wsConnected);
    socket.Close();
    ASSERT_TRUE(peer.WaitPlayed(20000));
    EXPECT_THAT(peer.Failures(), IsEmpty());
  }
}

}  // namespace

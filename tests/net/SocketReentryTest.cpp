// The socket component used from inside its own handlers: a connect handler that gives up
// and starts the next attempt, a close handler that connects again or raises, and a Flush
// that meets a failure no waiting cures.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "SocketEventLog.h"
#include "SocksEventLog.h"
#include "platform/MessageLoop.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"

namespace {

using ::testing::ElementsAre;

struct TReentry {
  SocketEventLog log;
  TWSocket socket;
  std::string received;
  TReentry() {
    log.Attach(socket);
    socket.OnDataAvailable = [this](TObject*, std::uint16_t) { received += socket.ReceiveStr(); };
  }
};

// The failed attempt's own close must not reach the attempt its handler started: refused
// directly, or refused by a proxy that accepts no method.
TEST(SocketReentryTest, ConnectHandlerThatMovesOnKeepsItsNewAttempt) {
  for (const bool throughProxy : {false, true}) {
    SCOPED_TRACE(throughProxy ? "proxy" : "direct");
    TRefusingPort refusing;
    TScriptedPeer proxy;
    proxy.Expect(Bytes({5, 1, 0})).Send(Bytes({5, 0xFF}));
    TScriptedPeer next;
    next.Send("+OK next\r\n");
    TReentry r;
    r.socket.OnSessionConnected = [&](TObject*, std::uint16_t error) {
      r.log.Add("connected", error);
      if (error == 0) return;
      r.socket.Abort();
      AimAt(r.socket, next.Port());
      r.socket.Connect();
    };
    if (throughProxy)
      AimThroughProxy(r.socket, proxy.Port(), "5", "localhost", "110");
    else
      AimAt(r.socket, refusing.Port());
    r.socket.Connect();
    ASSERT_TRUE(RunLoopUntil([&] { return r.received == "+OK next\r\n"; }));
    const std::string code = throughProxy ? "20003" : "10061";
    EXPECT_THAT(r.log.Sessions(), ElementsAre("connected " + code, "closed 0", "connected 0"));
    EXPECT_EQ(r.socket.State(), wsConnected);
  }
}

// A close handler that connects again owns the socket: the rest of the close must neither
// cut the new connection loose nor refuse it, and the new connection's close is heard too.
TEST(SocketReentryTest, CloseHandlerThatConnectsAgainKeepsTheNewConnection) {
  enum TWay { ClosedHere, PeerClosedSameEndpoint, PeerClosedThenElsewhere };
  for (const TWay way : {ClosedHere, PeerClosedSameEndpoint, PeerClosedThenElsewhere}) {
    SCOPED_TRACE(way);
    TScriptedPeer first;
    if (way != ClosedHere) first.Close();
    TScriptedPeer second;
    second.Send("+OK second\r\n");
    TReentry r;
    bool again = true;
    r.socket.OnSessionClosed = [&](TObject*, std::uint16_t error) {
      r.log.Add("closed", error);
      if (!std::exchange(again, false)) return;
      // After the peer's close the connection still counts as open here: only Connect, to
      // the same place, or a Close first and then anywhere.
      if (way == PeerClosedThenElsewhere) r.socket.Close();
      if (way != PeerClosedSameEndpoint) AimAt(r.socket, second.Port());
      r.socket.Connect();
    };
    AimAt(r.socket, first.Port());
    r.socket.Connect();
    ASSERT_TRUE(RunLoopUntil([&] { return r.log.Has("connected 0"); }));
    if (way == ClosedHere) r.socket.Close();
    ASSERT_TRUE(RunLoopUntil([&] { return r.log.Count("connected 0") == 2; }));
    if (way != PeerClosedSameEndpoint) {
      ASSERT_TRUE(RunLoopUntil([&] { return r.received == "+OK second\r\n"; }));
    }
    EXPECT_EQ(r.socket.State(), wsConnected);
    r.socket.Close();
    EXPECT_THAT(r.log.Sessions(),
                ElementsAre("connected 0", "closed 0", "connected 0", "closed 0"));
  }
}

// An exception from the close handler must not keep the close-reported flag set, or the
// next connection's close would never be heard; after the peer's close (the exception kept
// from aborting), the ended connection must still be closed.
TEST(SocketReentryTest, CloseHandlerThatRaisesLeavesTheNextConnectionHeard) {
  for (const bool byPeer : {false, true}) {
    SCOPED_TRACE(byPeer ? "closed by the peer" : "closed here");
    TScriptedPeer first;
    if (byPeer) first.Close();
    TScriptedPeer second;
    second.Close();
    TReentry r;
    bool raise = true;
    r.socket.OnSessionClosed = [&](TObject*, std::uint16_t error) {
      r.log.Add("closed", error);
      if (std::exchange(raise, false)) throw std::runtime_error("close handler failed");
    };
    r.socket.OnBgException = [](TObject*, std::exception&, bool& canClose) { canClose = false; };
    AimAt(r.socket, first.Port());
    r.socket.Connect();
    ASSERT_TRUE(RunLoopUntil([&] { return r.log.Has("connected 0"); }));
    if (!byPeer) {
      EXPECT_THROW(r.socket.Close(), std::runtime_error);
    }
    ASSERT_TRUE(RunLoopUntil([&] { return r.socket.State() == wsClosed; }));
    AimAt(r.socket, second.Port());
    r.socket.Connect();
    ASSERT_TRUE(RunLoopUntil([&] { return r.log.Count("closed 0") == 2; }));
    EXPECT_THAT(r.log.Sessions(),
                ElementsAre("connected 0", "closed 0", "connected 0", "closed 0"));
  }
}

TEST(SocketReentryTest, FlushEndsWhenASendFailureLasts) {
  TScriptedPeer peer;
  TReentry r;
  int errors = 0;
  r.socket.OnError = [&](TObject*) { ++errors; };
  AimAt(r.socket, peer.Port());
  r.socket.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return r.log.Has("connected 0"); }));
  // Every send fails from now on with "Can't send after socket shutdown".
  r.socket.Shutdown(winsock::SD_SEND);
  r.socket.SendStr("lost");
  // Flush waits inside the component, so the reaper is a timer that aborts it.
  HWND reaper = AllocateHWnd([&](UINT msg, WPARAM, LPARAM) -> LRESULT {
    if (msg == WM_TIMER) r.socket.Abort();
    return 0;
  });
  SetTimer(reaper, 1, 2000);
  r.socket.Flush();
  DestroyWindow(reaper);
  // Flush came back by itself, not through the reaper's Abort.
  EXPECT_EQ(r.socket.State(), wsConnected);
  EXPECT_EQ(r.socket.LastError(), winsock::WSAESHUTDOWN);
  EXPECT_GE(errors, 1);
  r.socket.Close();
}

}  // namespace

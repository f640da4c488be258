// Loading and unloading WinSock with the sockets that use it, the destroying state, and
// the message pumping the component does itself.

#include <gtest/gtest.h>

#include "SocketEventLog.h"
#include "platform/MessageLoop.h"
#include "platform/winsock/WinsockTestHooks.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"

namespace {

TEST(SocketLifecycleTest, WinsockLoadsOnFirstUseAndUnloadsWithTheLastSocket) {
  ASSERT_EQ(SocketInstanceCount, 0);
  UnloadWinsock();
  {
    TWSocket first;
    EXPECT_EQ(SocketInstanceCount, 1);
    EXPECT_FALSE(WinsockLoaded());
    auto* second = new TWSocket;
    EXPECT_EQ(SocketInstanceCount, 2);
    first.DnsLookup("10.0.0.1");
    EXPECT_TRUE(WinsockLoaded());
    delete second;
    EXPECT_TRUE(WinsockLoaded());
  }
  EXPECT_EQ(SocketInstanceCount, 0);
  EXPECT_FALSE(WinsockLoaded());
  // Loaded again on the next use.
  EXPECT_EQ(WSocketResolvePort("pop3", "tcp"), 110);
  EXPECT_TRUE(WinsockLoaded());
}

TEST(SocketLifecycleTest, LoaderFailuresRaiseDirectly) {
  UnloadWinsock();
  WinsockLibraryName = "nosuch.dll";
  {
    TWSocket socket;
    int errors = 0;
    socket.OnError = [&](TObject*) { ++errors; };
    EXPECT_EQ(ExceptionText([&] { socket.DnsLookup("10.0.0.1"); }),
              "Unable to load nosuch.dll Error #126");
    EXPECT_EQ(errors, 0);
    // Inside Connect the loader's exception becomes an ordinary error report.
    socket.SetAddr("127.0.0.1");
    socket.SetPort("110");
    socket.Connect();
    EXPECT_EQ(errors, 1);
    WinsockLibraryName = "wsock32.dll";
  }
  winsock::SimulateStartupFailure(10091);
  EXPECT_EQ(ExceptionText([] { WinsockEntryPoint("socket"); }),
            "wsock32.dll: WSAStartup error #10091");
  EXPECT_FALSE(WinsockLoaded());
  winsock::SimulateStartupFailure(0);
  EXPECT_EQ(ExceptionText([] { WinsockEntryPoint("NoSuchEntry"); }),
            "Procedure NoSuchEntry not found in wsock32.dll Error #127");
  EXPECT_NE(WinsockEntryPoint("socket"), nullptr);
}

struct ConnectedToPeer {
  TScriptedPeer peer;
  void Connect(TWSocket& socket) {
    bool connected = false;
    socket.OnSessionConnected = [&](TObject*, std::uint16_t) { connected = true; };
    AimAt(socket, peer.Port());
    socket.Connect();
    ASSERT_TRUE(RunLoopUntil([&] { return connected; }));
    socket.OnSessionConnected = nullptr;
  }
};

TEST(SocketLifecycleTest, OwnedSocketIsSilentWhileItsOwnerIsDestroyed) {
  std::vector<std::string> events;
  ConnectedToPeer owned;
  {
    TNetComponent owner;
    auto* socket = new TWSocket(&owner);
    owned.Connect(*socket);
    socket->OnSessionClosed = [&](TObject*, std::uint16_t) { events.push_back("owned closed"); };
    // Deleting another owned component directly unlinks it from the owner.
    delete new TWSocket(&owner);
    EXPECT_EQ(owner.Components().size(), 1u);
  }
  EXPECT_TRUE(events.empty());
  ConnectedToPeer unowned;
  {
    TWSocket socket;
    unowned.Connect(socket);
    socket.OnSessionClosed = [&](TObject*, std::uint16_t) { events.push_back("closed"); };
  }
  EXPECT_EQ(events, std::vector<std::string>{"closed"});
}

TEST(SocketLifecycleTest, PumpMessagesConsumesQuitAndDispatchesTheRest) {
  int delivered = 0;
  HWND wnd = AllocateHWnd([&](UINT, WPARAM, LPARAM) -> LRESULT {
    ++delivered;
    return 0;
  });
  TWSocket socket;
  PostMessage(wnd, WM_USER + 77, 0, 0);
  PostQuitMessage(0);
  PostMessage(wnd, WM_USER + 77, 0, 0);
  EXPECT_FALSE(socket.Terminated());
  socket.PumpMessages();
  EXPECT_TRUE(socket.Terminated());
  EXPECT_EQ(delivered, 2);
  TMsg msg;
  EXPECT_FALSE(PeekMessage(msg));
  DestroyWindow(wnd);
}

}  // namespace

// Asynchronous name and address lookups: the dotted shortcut, completion from the loop,
// cancellation and stale completions.

#include <gtest/gtest.h>

#include "SocketEventLog.h"
#include "platform/winsock/WinsockTestHooks.h"
#include "support/LoopRunner.h"

namespace {

using SocketLookupTest = SocketTest;

TEST_F(SocketLookupTest, DottedAddressAnswersBeforeReturning) {
  socket.DnsLookup("10.0.0.1");
  EXPECT_EQ(log.events, std::vector<std::string>{"dns 0"});
  EXPECT_EQ(socket.DnsResult(), "10.0.0.1");
  EXPECT_TRUE(socket.DnsResultList().empty());
}

TEST_F(SocketLookupTest, EmptyNameIsRefused) {
  EXPECT_EQ(ExceptionText([&] { socket.DnsLookup(""); }), "DNS lookup: invalid host name.");
  EXPECT_TRUE(log.events.empty());
  socket.OnError = [&](TObject*) { log.events.push_back("error"); };
  socket.DnsLookup("");
  std::vector<std::string> expected = {"error", "dns 10022"};
  EXPECT_EQ(log.events, expected);
}

TEST_F(SocketLookupTest, NameLookupCompletesFromTheLoop) {
  socket.DnsLookup("localhost");
  EXPECT_TRUE(log.events.empty());
  ASSERT_TRUE(RunLoopUntil([&] { return !log.events.empty(); }));
  EXPECT_EQ(log.events, std::vector<std::string>{"dns 0"});
  EXPECT_EQ(socket.DnsResult(), "127.0.0.1");
  ASSERT_FALSE(socket.DnsResultList().empty());
  EXPECT_EQ(socket.DnsResultList().front(), "127.0.0.1");
}

TEST_F(SocketLookupTest, UnknownNameReportsTheLookupError) {
  socket.DnsLookup("no-such-host.invalid");
  ASSERT_TRUE(RunLoopUntil([&] { return !log.events.empty(); }, 15000));
  ASSERT_EQ(log.events.size(), 1u);
  EXPECT_NE(log.events[0], "dns 0");
  EXPECT_EQ(socket.DnsResult(), "");
}

TEST_F(SocketLookupTest, ReverseLookupGivesTheName) {
  socket.ReverseDnsLookup("127.0.0.1");
  ASSERT_TRUE(RunLoopUntil([&] { return !log.events.empty(); }));
  EXPECT_EQ(log.events, std::vector<std::string>{"dns 0"});
  EXPECT_FALSE(socket.DnsResult().empty());
  EXPECT_EQ(socket.DnsResultList(), std::vector<std::string>{socket.DnsResult()});
}

TEST_F(SocketLookupTest, CancelReportsInterruptAndDropsTheLateAnswer) {
  winsock::SimulateLookupDelay(100);
  socket.DnsLookup("localhost");
  socket.CancelDnsLookup();
  EXPECT_EQ(log.events, std::vector<std::string>{"dns 10004"});
  // A second cancel has nothing left to cancel.
  socket.CancelDnsLookup();
  // A new lookup replaces a pending one without any event for the old one.
  socket.DnsLookup("localhost");
  socket.DnsLookup("localhost");
  ASSERT_TRUE(RunLoopUntil([&] { return log.events.size() >= 2; }));
  // The replaced lookups were cancelled: the library never delivers them, and whatever is
  // pending now is dispatched.
  DrainMessages();
  winsock::SimulateLookupDelay(0);
  std::vector<std::string> expected = {"dns 10004", "dns 0"};
  EXPECT_EQ(log.events, expected);
}

TEST_F(SocketLookupTest, DestroyingCancelsAndStillReportsWithoutOwner) {
  winsock::SimulateLookupDelay(100);
  std::vector<std::string> events;
  {
    TWSocket socket;
    socket.OnDnsLookupDone = [&](TObject*, std::uint16_t e) {
      events.push_back("dns " + std::to_string(e));
    };
    socket.DnsLookup("localhost");
  }
  EXPECT_EQ(events, std::vector<std::string>{"dns 10004"});
  // Owned by a component being destroyed: no event reaches the half-destroyed owner.
  events.clear();
  {
    TNetComponent owner;
    auto* socket = new TWSocket(&owner);
    socket->OnDnsLookupDone = [&](TObject*, std::uint16_t e) {
      events.push_back("dns " + std::to_string(e));
    };
    socket->DnsLookup("localhost");
  }
  winsock::SimulateLookupDelay(0);
  DrainMessages();
  EXPECT_TRUE(events.empty());
}

}  // namespace

// The end of a connection in line mode: bytes without a terminator are offered as a last
// line, and nothing of one connection reaches the next.

#include <gtest/gtest.h>

#include "LineFixture.h"
#include "platform/MessageLoop.h"
#include "support/LoopRunner.h"

using LineCloseTest = LineFixture;

TEST_F(LineCloseTest, PeerCloseOffersHeldBytesBeforeSessionClosed) {
  Sock->OnSessionClosed = [this](TObject*, std::uint16_t error) {
    Events.push_back("closed:" + std::to_string(error));
  };
  Sock->SetLineMode(true);
  Deliver("line\r\nxyz");
  Peer->Close();
  ASSERT_TRUE(RunLoopUntil([&] { return Sock->State() == wsClosed; }));
  DrainMessages();
  EXPECT_EQ(Events, (std::vector<std::string>{"data:line\r\n", "data:xyz", "closed:0"}));
  // The settings outlive the connection.
  EXPECT_TRUE(Sock->LineMode());
  EXPECT_EQ(Sock->LineEnd(), "\r\n");
}

TEST_F(LineCloseTest, LastLineIsOfferedEvenWithoutSessionClosedHandler) {
  Sock->SetLineMode(true);
  Deliver("xyz");
  Peer->Close();
  ASSERT_TRUE(RunLoopUntil([&] { return Sock->State() == wsClosed; }));
  DrainMessages();
  EXPECT_EQ(Reads, (std::vector<std::string>{"xyz"}));
}

TEST_F(LineCloseTest, LastLineReadInPieces) {
  ReadSize = 2;
  Sock->OnSessionClosed = [this](TObject*, std::uint16_t) { Events.push_back("closed"); };
  Sock->SetLineMode(true);
  Deliver("vwxyz");
  Peer->Close();
  ASSERT_TRUE(RunLoopUntil([&] { return Sock->State() == wsClosed; }));
  DrainMessages();
  EXPECT_EQ(Events, (std::vector<std::string>{"data:vw", "data:xy", "data:z", "closed"}));
}

TEST_F(LineCloseTest, OwnCloseOffersHeldBytesAndTheNextConnectionStartsClean) {
  Sock->SetLineMode(true);
  Deliver("old\r\nstale");
  Sock->Close();
  EXPECT_EQ(Sock->State(), wsClosed);
  EXPECT_EQ(Reads, (std::vector<std::string>{"old\r\n", "stale"}));

  ConnectToNewPeer();
  Deliver("new\r\n");
  EXPECT_EQ(Reads.back(), "new\r\n");
  EXPECT_EQ(Sock->ReadCount(), 5);
}

TEST_F(LineCloseTest, HeldBytesOfADroppedLastLineDoNotLeakIntoTheNextConnection) {
  Sock->SetLineMode(true);
  auto handler = Sock->OnDataAvailable;
  Deliver("first\r\nhalf");
  Sock->OnDataAvailable = nullptr;
  Sock->Abort();
  Sock->OnDataAvailable = handler;
  ConnectToNewPeer();
  Deliver("fresh\r\n");
  EXPECT_EQ(Reads, (std::vector<std::string>{"first\r\n", "fresh\r\n"}));
}

// The peer's close is already queued when the application switches to unframed data, so it
// is handled before the posted redelivery; a handler reading in pieces must still get all.
TEST_F(LineCloseTest, BytesHeldAfterSwitchingOffReachTheHandlerWhenTheCloseComesFirst) {
  Sock->OnSessionClosed = [this](TObject*, std::uint16_t error) {
    Events.push_back("closed:" + std::to_string(error));
  };
  Sock->SetLineMode(true);
  Deliver("hdr\r\n0123456789");
  ReadSize = 4;
  PostMessage(Sock->Handle(), SocketNotifyMessage, static_cast<WPARAM>(Sock->HSocket()),
              MAKELONG(winsock::FD_CLOSE, 0));
  Sock->SetLineMode(false);
  ASSERT_TRUE(RunLoopUntil([&] { return Sock->State() == wsClosed; }));
  DrainMessages();
  EXPECT_EQ(Events, (std::vector<std::string>{"data:hdr\r\n", "data:0123", "data:4567", "data:89",
                                              "closed:0"}));
}

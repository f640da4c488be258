// Switching line mode while bytes are held: what was buffered is delivered again under the
// new mode from the message loop, before anything newer.

#include <gtest/gtest.h>

#include "LineFixture.h"
#include "support/LoopRunner.h"
#include "support/SocketArrival.h"

using LineSwitchTest = LineFixture;

TEST_F(LineSwitchTest, SwitchingOffDeliversHeldBytesBeforeNewData) {
  Sock->SetLineMode(true);
  Deliver("ab\r\ncd");
  ASSERT_EQ(Reads, (std::vector<std::string>{"ab\r\n"}));

  Sock->SetLineMode(false);
  // New data is already waiting in the socket when the loop runs again.
  Peer->Send("ef");
  ASSERT_TRUE(WaitForArrival(Sock->HSocket(), 2));
  ASSERT_TRUE(RunLoopUntil([&] { return AllRead().size() >= 8; }));
  DrainMessages();
  EXPECT_EQ(Reads, (std::vector<std::string>{"ab\r\n", "cd", "ef"}));
  EXPECT_EQ(Sock->ReadCount(), 8);
}

TEST_F(LineSwitchTest, RedeliveryIsPostedNotRunInsideTheSetter) {
  Sock->SetLineMode(true);
  Deliver("ab\r\ncd");
  const int before = Calls;
  Sock->SetLineMode(false);
  EXPECT_EQ(Calls, before);
  DrainMessages();
  EXPECT_EQ(Calls, before + 1);
  EXPECT_EQ(Reads.back(), "cd");
  // Setting the same value again posts nothing more.
  Sock->SetLineMode(false);
  DrainMessages();
  EXPECT_EQ(Calls, before + 1);
}

TEST_F(LineSwitchTest, SwitchingOffInsideTheHandlerHandsOverTheRestOfTheLine) {
  Sock->OnDataAvailable = [this](TObject*, std::uint16_t) {
    ++Calls;
    char buf[64];
    const int n = Sock->Receive(buf, Sock->LineMode() ? 1 : sizeof buf);
    Reads.emplace_back(buf, n > 0 ? n : 0);
    if (Sock->LineMode()) Sock->SetLineMode(false);
  };
  Sock->SetLineMode(true);
  Deliver("line\r\nmore\r\n");
  DrainMessages();
  // One byte under line mode, then everything held, unframed, in one read.
  EXPECT_EQ(Reads, (std::vector<std::string>{"l", "ine\r\nmore\r\n"}));
  EXPECT_EQ(Sock->RcvdCount(), 0);
}

TEST_F(LineSwitchTest, SwitchingBackOnMidLineDeliversTheRestOfThatLineFirst) {
  bool switchOff = true;
  Sock->OnDataAvailable = [&](TObject*, std::uint16_t) {
    ++Calls;
    char buf[64];
    const int n = Sock->Receive(buf, Sock->LineMode() ? 2 : 1);
    Reads.emplace_back(buf, n > 0 ? n : 0);
    if (switchOff) {
      switchOff = false;
      Sock->SetLineMode(false);
    } else if (!Sock->LineMode()) {
      Sock->SetLineMode(true);
    }
  };
  Sock->SetLineMode(true);
  Deliver("ab\r\ncd\r\nef\r\n");
  DrainMessages();
  // Two bytes framed, one unframed, then line mode again: the one byte left of the
  // interrupted line comes on its own, and the lines after it keep their framing.
  EXPECT_EQ(Reads, (std::vector<std::string>{"ab", "\r", "\n", "cd", "\r\n", "ef", "\r\n"}));
  EXPECT_EQ(Sock->RcvdCount(), 0);
}

TEST_F(LineSwitchTest, ExceptionFromAHandlerDuringRedeliveryGoesToOnBgException) {
  Sock->SetLineMode(true);
  Deliver("ab\r\ncd");
  Sock->OnDataAvailable = [](TObject*, std::uint16_t) { throw ESocketException("handler failed"); };
  std::string caught;
  Sock->OnBgException = [&](TObject*, std::exception& e, bool& canClose) {
    caught = e.what();
    canClose = false;
  };
  Sock->SetLineMode(false);
  DrainMessages();
  EXPECT_EQ(caught, "handler failed");
  // The handler kept the connection open; the held bytes are still there to be read.
  EXPECT_EQ(Sock->State(), wsConnected);
  EXPECT_EQ(Sock->RcvdCount(), 2);
}

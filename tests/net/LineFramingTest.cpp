// How line mode frames received bytes into lines: one OnDataAvailable per complete line,
// terminators split across packets, partial reads, and terminators of any length.

#include <gtest/gtest.h>

#include "LineFixture.h"
#include "support/LoopRunner.h"

using LineFramingTest = LineFixture;

TEST_F(LineFramingTest, OneLineIsDeliveredAndTheRestIsHeldUntilItsTerminator) {
  Sock->SetLineMode(true);
  Deliver("ab\r\ncd");
  ASSERT_EQ(Calls, 1);
  EXPECT_EQ(CountsAtCall[0], 4);
  EXPECT_EQ(Reads[0], "ab\r\n");
  // c, d wait for their terminator; nothing is announced for them.
  EXPECT_EQ(Sock->RcvdCount(), 0);

  Deliver("e\r\nf\r\n\r\n");
  ASSERT_EQ(Calls, 4);
  EXPECT_EQ(Reads[1], "cde\r\n");
  EXPECT_EQ(Reads[2], "f\r\n");
  EXPECT_EQ(Reads[3], "\r\n");
  // Every byte counts once, although each passed through the line buffer.
  EXPECT_EQ(Sock->ReadCount(), 14);
}

TEST_F(LineFramingTest, TerminatorSplitAcrossPacketsIsFound) {
  Sock->SetLineMode(true);
  Deliver("ab\r");
  EXPECT_EQ(Calls, 0);
  Deliver("\nxy\r");
  ASSERT_EQ(Calls, 1);
  EXPECT_EQ(Reads[0], "ab\r\n");
  // A CR alone is not a terminator, and neither is an LF without its CR.
  Deliver("z\nw\r\n");
  ASSERT_EQ(Calls, 2);
  EXPECT_EQ(Reads[1], "xy\rz\nw\r\n");
}

TEST_F(LineFramingTest, ThreeByteTerminatorInPiecesAndNearMisses) {
  Sock->SetLineEnd("@@\n");
  Sock->SetLineMode(true);
  Deliver("one@");
  Deliver("@");
  EXPECT_EQ(Calls, 0);
  Deliver("\ntwo@@x@@");
  ASSERT_EQ(Calls, 1);
  EXPECT_EQ(Reads[0], "one@@\n");
  // "@@@\n" ends with the terminator one byte later than where the search first matched.
  Deliver("@\n\r\n@@\n");
  ASSERT_EQ(Calls, 3);
  EXPECT_EQ(Reads[1], "two@@x@@@\n");
  EXPECT_EQ(Reads[2], "\r\n@@\n");
}

TEST_F(LineFramingTest, HandlerReadingOneByteIsCalledOncePerByte) {
  ReadSize = 1;
  Sock->SetLineMode(true);
  Deliver("hey\r\nok\r\n");
  ASSERT_EQ(Calls, 9);
  EXPECT_EQ(AllRead(), "hey\r\nok\r\n");
  // RcvdCount counts down what is left of the line being delivered.
  EXPECT_EQ(CountsAtCall, (std::vector<int>{5, 4, 3, 2, 1, 4, 3, 2, 1}));
}

TEST_F(LineFramingTest, ReceiveStrTakesExactlyTheLine) {
  Sock->OnDataAvailable = [this](TObject*, std::uint16_t) {
    ++Calls;
    Reads.push_back(Sock->ReceiveStr());
  };
  Sock->SetLineMode(true);
  Deliver("first\r\nsecond\r\nthi");
  EXPECT_EQ(Reads, (std::vector<std::string>{"first\r\n", "second\r\n"}));
}

TEST_F(LineFramingTest, EmptyLineEndPassesBytesThrough) {
  Sock->SetLineEnd("");
  Sock->SetLineMode(true);
  Deliver("ab\r\ncd");
  ASSERT_EQ(Calls, 1);
  EXPECT_EQ(Reads[0], "ab\r\ncd");
  EXPECT_EQ(CountsAtCall[0], 6);
}

TEST_F(LineFramingTest, ChangingTheTerminatorSearchesWhatIsHeld) {
  Sock->SetLineMode(true);
  Deliver("a\nb\nc");
  EXPECT_EQ(Calls, 0);
  // The held bytes already hold two lines under the new terminator; they must not wait
  // for the peer's next packet, nor be missed because the search resumes near the end.
  Sock->SetLineEnd("\n");
  RunLoopUntil([&] { return Calls >= 2; }, 2000);
  DrainMessages();
  EXPECT_EQ(Reads, (std::vector<std::string>{"a\n", "b\n"}));
  Deliver("\n");
  EXPECT_EQ(Reads.back(), "c\n");
}

TEST_F(LineFramingTest, HandlerThatDoesNotReadNeitherHangsNorLosesTheLine) {
  bool ignore = true;
  Sock->OnDataAvailable = [&](TObject*, std::uint16_t) {
    ++Calls;
    if (ignore) return;
    Reads.push_back(Sock->ReceiveStr());
  };
  Sock->SetLineMode(true);
  Deliver("kept\r\nnext\r\n");
  // One call for the line, then the component gives up on this notification.
  EXPECT_EQ(Calls, 1);
  ignore = false;
  Deliver("last\r\n");
  EXPECT_EQ(Reads, (std::vector<std::string>{"kept\r\n", "next\r\n", "last\r\n"}));
}

TEST_F(LineFramingTest, LinesWithoutHandlerAreDropped) {
  auto handler = Sock->OnDataAvailable;
  Sock->OnDataAvailable = nullptr;
  Sock->SetLineMode(true);
  Deliver("gone\r\npart");
  Sock->OnDataAvailable = handler;
  Deliver("ial\r\n");
  EXPECT_EQ(Reads, (std::vector<std::string>{"partial\r\n"}));
}

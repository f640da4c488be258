// Echo and line editing for character-at-a-time peers: what the line becomes and exactly
// which bytes go back to the peer.

#include <gtest/gtest.h>

#include "LineFixture.h"
#include "support/LoopRunner.h"

using LineEditTest = LineFixture;

TEST_F(LineEditTest, BackspaceErasesWithoutEcho) {
  Sock->SetLineEdit(true);
  Sock->SetLineMode(true);
  Deliver("abc\bd\r\n");
  EXPECT_EQ(Reads, (std::vector<std::string>{"abd\r\n"}));
  // Nothing is echoed: a byte the peer would receive shows up with the next line's echo
  // check below, which waits for an exact count.
  Sock->SetLineEcho(true);
  Deliver("z\r\n");
  EXPECT_EQ(PeerReceives(3), "z\r\n");
}

TEST_F(LineEditTest, BackspaceWithEchoSendsEraseSequence) {
  Sock->SetLineEdit(true);
  Sock->SetLineEcho(true);
  Sock->SetLineMode(true);
  Deliver("abc\bd\r\n");
  EXPECT_EQ(Reads, (std::vector<std::string>{"abd\r\n"}));
  EXPECT_EQ(PeerReceives(9), "abc\b \bd\r\n");
}

TEST_F(LineEditTest, TypedOneKeyAtATimeAcrossPackets) {
  Sock->SetLineEdit(true);
  Sock->SetLineEcho(true);
  Sock->SetLineMode(true);
  // A backspace first has nothing to erase and echoes nothing.
  for (const char* key : {"\b", "a", "b", "c", "\b", "\b", "x", "\r", "\n"}) Deliver(key);
  EXPECT_EQ(Reads, (std::vector<std::string>{"ax\r\n"}));
  EXPECT_EQ(PeerReceives(12), "abc\b \b\b \bx\r\n");
  // The line is gone once delivered: a backspace cannot reach back into it.
  Deliver("\bq\r\n");
  EXPECT_EQ(Reads.back(), "q\r\n");
  EXPECT_EQ(PeerReceives(15), "abc\b \b\b \bx\r\nq\r\n");
}

TEST_F(LineEditTest, BackspaceCanEraseTheTerminatorBeforeItIsDelivered) {
  Sock->SetLineEdit(true);
  Sock->SetLineMode(true);
  // The LF is erased within the same packet, so "ab\r" is no line yet.
  Deliver("ab\r\n\bc\r\n");
  EXPECT_EQ(Reads, (std::vector<std::string>{"ab\rc\r\n"}));
}

TEST_F(LineEditTest, TabExpandsToTheNextMultipleOfEight) {
  Sock->SetLineEdit(true);
  Sock->SetLineEcho(true);
  Sock->SetLineMode(true);
  Deliver("abc\tz\r\n");
  EXPECT_EQ(Reads.back(), "abc     z\r\n");
  EXPECT_EQ(PeerReceives(11), "abc     z\r\n");
  // At column 0 and at column 8 a tab is a full 8 spaces.
  Deliver("\t");
  Deliver("12345678\t|\r\n");
  EXPECT_EQ(Reads.back(), std::string(8, ' ') + "12345678" + std::string(8, ' ') + "|\r\n");
}

TEST_F(LineEditTest, EditedTextAcrossPacketsKeepsItsColumns) {
  Sock->SetLineEdit(true);
  Sock->SetLineMode(true);
  // The column counts from the start of the line, bytes of earlier packets included;
  // backspaces after a tab erase its spaces one by one.
  Deliver("ab");
  Deliver("c\t\b\b");
  Deliver("d\r\n");
  EXPECT_EQ(Reads, (std::vector<std::string>{"abc   d\r\n"}));
}

TEST_F(LineEditTest, EchoWithoutEditSendsBytesBackUnchanged) {
  Sock->SetLineEcho(true);
  Sock->SetLineMode(true);
  Deliver("a\tb\bc\r\n");
  EXPECT_EQ(Reads, (std::vector<std::string>{"a\tb\bc\r\n"}));
  EXPECT_EQ(PeerReceives(7), "a\tb\bc\r\n");
}

TEST_F(LineEditTest, ErasingEverythingLeavesNoLine) {
  Sock->SetLineEdit(true);
  Sock->SetLineMode(true);
  Deliver("xy");
  Deliver("\b\b\b\b");
  EXPECT_EQ(Calls, 0);
  Deliver("\r\n");
  EXPECT_EQ(Reads, (std::vector<std::string>{"\r\n"}));
}

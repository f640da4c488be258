#include "pop3/Pop3ReceiveBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

// Feeds bytes the way the client does (as much as there is room for) and collects the
// lines, marking continuations with a leading '+'.
std::vector<std::string> Feed(TPop3ReceiveBuffer& buffer, const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  do {
    int room = 0;
    char* into = buffer.PrepareReceive(room);
    const int count = static_cast<int>(std::min<std::size_t>(room, bytes.size() - pos));
    std::memcpy(into, bytes.data() + pos, static_cast<std::size_t>(count));
    pos += static_cast<std::size_t>(count);
    buffer.CommitReceive(count);
    std::string_view line;
    bool continuation = false;
    while (buffer.NextLine(line, continuation))
      // append(), not "+" + string: GCC 12 at -O3 takes that for an overlapping copy.
      lines.push_back(std::string(continuation ? "+" : "").append(line));
  } while (pos < bytes.size());
  return lines;
}

}  // namespace

TEST(Pop3ReceiveBuffer, LinesSplitAcrossReadsComeOutWhole) {
  TPop3ReceiveBuffer buffer;
  EXPECT_TRUE(Feed(buffer, "+O").empty());
  EXPECT_TRUE(Feed(buffer, "K ready\r").empty());
  EXPECT_EQ(Feed(buffer, "\nnext\r\nlast\r\n"),
            (std::vector<std::string>{"+OK ready", "next", "last"}));
  EXPECT_EQ(buffer.Count(), 0);
}

TEST(Pop3ReceiveBuffer, LoneCrOrLfStaysAndZeroByteCutsTheLine) {
  TPop3ReceiveBuffer buffer;
  EXPECT_EQ(Feed(buffer, "a\rb\nc\r\r\n"), (std::vector<std::string>{"a\rb\nc\r"}));
  EXPECT_EQ(Feed(buffer, "ab\0cd\r\nef\r\n"s), (std::vector<std::string>{"ab", "ef"}));
  EXPECT_EQ(Feed(buffer, "\r\n"), (std::vector<std::string>{""}));
}

TEST(Pop3ReceiveBuffer, LongestLineThatFitsCompletesNormally) {
  TPop3ReceiveBuffer buffer;
  const std::string line(TPop3ReceiveBuffer::Capacity - 3, 'x');
  EXPECT_EQ(Feed(buffer, line + "\r\n"), (std::vector<std::string>{line}));
}

// A line longer than the buffer used to leave the buffer full with no room to read the
// rest: the connection hung. It is now handed on in pieces, the later ones marked.
TEST(Pop3ReceiveBuffer, OverlongLineIsHandedOnInPiecesInsteadOfStalling) {
  TPop3ReceiveBuffer buffer;
  const std::string longLine =
      std::string(TPop3ReceiveBuffer::Capacity - 1, 'a') + std::string(100, 'b');
  const auto lines = Feed(buffer, longLine + "\r\nafter\r\n");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], std::string(TPop3ReceiveBuffer::Capacity - 1, 'a'));
  EXPECT_EQ(lines[1], "+" + std::string(100, 'b'));
  EXPECT_EQ(lines[2], "after");  // the next line is an ordinary one again
}

TEST(Pop3ReceiveBuffer, OverlongLineEndingAtTheBufferEdgeAddsNoEmptyLine) {
  TPop3ReceiveBuffer buffer;
  // The CR of the line end is the buffer's last byte: the LF comes with the next read.
  const std::string longLine(TPop3ReceiveBuffer::Capacity - 2, 'z');
  const auto lines = Feed(buffer, longLine + "\r\n.\r\n");
  EXPECT_EQ(lines, (std::vector<std::string>{longLine, "."}));
}

TEST(Pop3ReceiveBuffer, ClearDropsWhatAnEarlierConnectionLeft) {
  TPop3ReceiveBuffer buffer;
  EXPECT_TRUE(Feed(buffer, "partial").empty());
  buffer.Clear();
  EXPECT_EQ(Feed(buffer, "+OK\r\n"), (std::vector<std::string>{"+OK"}));
}

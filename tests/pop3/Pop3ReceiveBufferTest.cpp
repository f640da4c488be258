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

// Each case feeds one buffer in turn: the bytes of a read and the lines that read completes.
TEST(Pop3ReceiveBuffer, ReadsBecomeLines) {
  using TLines = std::vector<std::string>;
  const int capacity = TPop3ReceiveBuffer::Capacity;
  const std::string fits(capacity - 3, 'x'), first(capacity - 1, 'a'), edge(capacity - 2, 'z');
  const struct {
    const char* name;
    std::vector<std::pair<std::string, TLines>> reads;
  } cases[] = {
      {"lines split across reads come out whole",
       {{"+O", {}}, {"K ready\r", {}}, {"\nnext\r\nlast\r\n", {"+OK ready", "next", "last"}}}},
      {"a lone CR or LF stays and a zero byte cuts the line",
       {{"a\rb\nc\r\r\n", {"a\rb\nc\r"}}, {"ab\0cd\r\nef\r\n"s, {"ab", "ef"}}, {"\r\n", {""}}}},
      {"the longest line that fits completes normally", {{fits + "\r\n", {fits}}}},
      // A line longer than the buffer used to leave the buffer full with no room to read the
      // rest: the connection hung. It is now handed on in pieces, the later ones marked, and
      // the next line is an ordinary one again.
      {"an overlong line is handed on in pieces",
       {{first + std::string(100, 'b') + "\r\nafter\r\n",
         {first, "+" + std::string(100, 'b'), "after"}}}},
      // The CR of the line end is the buffer's last byte: the LF comes with the next read.
      {"an overlong line ending at the buffer's edge adds no empty line",
       {{edge + "\r\n.\r\n", {edge, "."}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TPop3ReceiveBuffer buffer;
    for (const auto& [bytes, lines] : c.reads) EXPECT_EQ(Feed(buffer, bytes), lines);
    EXPECT_EQ(buffer.Count(), 0);
  }
}

TEST(Pop3ReceiveBuffer, ClearDropsWhatAnEarlierConnectionLeft) {
  TPop3ReceiveBuffer buffer;
  EXPECT_TRUE(Feed(buffer, "partial").empty());
  buffer.Clear();
  EXPECT_EQ(Feed(buffer, "+OK\r\n"), (std::vector<std::string>{"+OK"}));
}

// Volume in line mode: megabytes of lines of mixed lengths, taken off the socket in
// whatever pieces the kernel gives, must come out line by line, complete and in order.

#include <gtest/gtest.h>

#include <cstdint>

#include "LineFixture.h"
#include "support/LoopRunner.h"

namespace {

// Lines of 0 to 299 bytes, now and then one of 200 000, with letters, spaces and bare
// LFs (never CR LF) inside, each ended by CR LF.
std::string MakeLines(std::size_t total, int& lineCount) {
  std::uint32_t state = 2463534242u;
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  };
  std::string all;
  all.reserve(total + 300000);
  lineCount = 0;
  while (all.size() < total) {
    const std::size_t len = (lineCount % 997 == 500) ? 200000 : next() % 300;
    for (std::size_t i = 0; i < len; ++i) {
      const std::uint32_t r = next() % 30;
      all.push_back(r < 26 ? static_cast<char>('a' + r) : (r < 29 ? ' ' : '\n'));
    }
    all += "\r\n";
    ++lineCount;
  }
  return all;
}

}  // namespace

using LineBulkTest = LineFixture;

TEST_F(LineBulkTest, TenMegabytesOfLinesArriveComplete) {
  int expectedLines = 0;
  const std::string sent = MakeLines(10u << 20, expectedLines);
  std::string got;
  got.reserve(sent.size());
  int lines = 0;
  int badLines = 0;
  std::string line;
  Sock->OnDataAvailable = [&](TObject*, std::uint16_t) {
    line.resize(static_cast<std::size_t>(Sock->RcvdCount()));
    const int n = Sock->Receive(line.data(), static_cast<int>(line.size()));
    line.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    // Exactly one line per call: one terminator, at the end.
    if (line.size() < 2 || line.find("\r\n") != line.size() - 2) ++badLines;
    got += line;
    ++lines;
  };
  Sock->SetLineMode(true);
  Peer->Send(sent);
  ASSERT_TRUE(RunLoopUntil([&] { return got.size() >= sent.size(); }, 120000))
      << got.size() << " of " << sent.size() << " bytes arrived";
  EXPECT_EQ(lines, expectedLines);
  EXPECT_EQ(badLines, 0);
  EXPECT_TRUE(got == sent) << "the received lines differ from the sent ones";
  EXPECT_EQ(Sock->ReadCount(), static_cast<int>(sent.size()));
}

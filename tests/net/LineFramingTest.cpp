// How line mode frames received bytes into lines: one OnDataAvailable per complete line,
// terminators split across packets, partial reads, and terminators of any length.

#include <gtest/gtest.h>

#include "LineFixture.h"
#include "support/LoopRunner.h"

namespace {

struct TFramingCase {
  const char* name;
  std::string lineEnd;
  int readSize;  // the handler reads at most this many bytes per call
  std::vector<std::string> packets;
  // Per packet, the handler's calls as "RcvdCount at the call:bytes read", then "|".
  std::vector<std::string> calls;
};

// clang-format off
const TFramingCase kFramingCases[] = {
    {"OneLineIsDeliveredAndTheRestIsHeldUntilItsTerminator", "\r\n", 1 << 20,
     {"ab\r\ncd", "e\r\nf\r\n\r\n"}, {"4:ab\r\n", "|", "5:cde\r\n", "3:f\r\n", "2:\r\n", "|"}},
    // A CR alone is not a terminator, and neither is an LF without its CR.
    {"TerminatorSplitAcrossPacketsIsFound", "\r\n", 1 << 20, {"ab\r", "\nxy\r", "z\nw\r\n"},
     {"|", "4:ab\r\n", "|", "8:xy\rz\nw\r\n", "|"}},
    // "@@@\n" ends with the terminator one byte later than where the search first matched.
    {"ThreeByteTerminatorInPiecesAndNearMisses", "@@\n", 1 << 20,
     {"one@", "@", "\ntwo@@x@@", "@\n\r\n@@\n"},
     {"|", "|", "6:one@@\n", "|", "10:two@@x@@@\n", "5:\r\n@@\n", "|"}},
    // RcvdCount counts down what is left of the line being delivered.
    {"HandlerReadingOneByteIsCalledOncePerByte", "\r\n", 1, {"hey\r\nok\r\n"},
     {"5:h", "4:e", "3:y", "2:\r", "1:\n", "4:o", "3:k", "2:\r", "1:\n", "|"}},
    {"EmptyLineEndPassesBytesThrough", "", 1 << 20, {"ab\r\ncd"}, {"6:ab\r\ncd", "|"}},
};
// clang-format on

// A failing row is named by its name, not by its bytes.
void PrintTo(const TFramingCase& c, std::ostream* os) {
  *os << c.name;
}

class LineFraming : public LineFixture, public ::testing::WithParamInterface<TFramingCase> {};

TEST_P(LineFraming, CallsPerPacket) {
  const TFramingCase& c = GetParam();
  ReadSize = c.readSize;
  Sock->SetLineEnd(c.lineEnd);
  Sock->SetLineMode(true);
  std::vector<std::string> calls;
  int bytes = 0;
  for (const std::string& packet : c.packets) {
    const std::size_t before = Reads.size();
    Deliver(packet);
    bytes += static_cast<int>(packet.size());
    for (std::size_t i = before; i < Reads.size(); ++i)
      calls.push_back(std::to_string(CountsAtCall[i]) + ":" + Reads[i]);
    calls.push_back("|");
    // Bytes that wait for their terminator are not announced.
    EXPECT_EQ(Sock->RcvdCount(), 0);
  }
  EXPECT_EQ(calls, c.calls);
  // Every byte counts once, although each passed through the line buffer.
  EXPECT_EQ(Sock->ReadCount(), bytes);
}

INSTANTIATE_TEST_SUITE_P(Cases, LineFraming, ::testing::ValuesIn(kFramingCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

using LineFramingTest = LineFixture;

TEST_F(LineFramingTest, ReceiveStrTakesExactlyTheLine) {
  Sock->OnDataAvailable = [this](TObject*, std::uint16_t) {
    ++Calls;
    Reads.push_back(Sock->ReceiveStr());
  };
  Sock->SetLineMode(true);
  Deliver("first\r\nsecond\r\nthi");
  EXPECT_EQ(Reads, (std::vector<std::string>{"first\r\n", "second\r\n"}));
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

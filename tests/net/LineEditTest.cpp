// Echo and line editing for character-at-a-time peers: what the lines become and exactly
// which bytes go back to the peer.

#include <gtest/gtest.h>

#include "LineFixture.h"
#include "support/LoopRunner.h"

namespace {

struct TEditCase {
  const char* name;
  bool edit, echo;
  std::vector<std::string> packets;  // each delivered on its own
  std::vector<std::string> lines;
  std::string echoed;
};

const std::string kTab(8, ' ');

// clang-format off
const TEditCase kEditCases[] = {
    {"BackspaceErasesWithoutEcho", true, false, {"abc\bd\r\n"}, {"abd\r\n"}, ""},
    {"BackspaceWithEchoSendsEraseSequence", true, true, {"abc\bd\r\n"}, {"abd\r\n"},
     "abc\b \bd\r\n"},
    // A backspace first has nothing to erase and echoes nothing; a line is gone once
    // delivered, so a backspace cannot reach back into it.
    {"TypedOneKeyAtATimeAcrossPackets", true, true,
     {"\b", "a", "b", "c", "\b", "\b", "x", "\r", "\n", "\bq\r\n"}, {"ax\r\n", "q\r\n"},
     "abc\b \b\b \bx\r\nq\r\n"},
    // The LF is erased within the same packet, so "ab\r" is no line yet.
    {"BackspaceCanEraseTheTerminatorBeforeItIsDelivered", true, false, {"ab\r\n\bc\r\n"},
     {"ab\rc\r\n"}, ""},
    // At column 0 and at column 8 a tab is a full 8 spaces.
    {"TabExpandsToTheNextMultipleOfEight", true, true, {"abc\tz\r\n", "\t", "12345678\t|\r\n"},
     {"abc     z\r\n", kTab + "12345678" + kTab + "|\r\n"},
     "abc     z\r\n" + kTab + "12345678" + kTab + "|\r\n"},
    // The column counts from the start of the line, bytes of earlier packets included;
    // backspaces after a tab erase its spaces one by one.
    {"EditedTextAcrossPacketsKeepsItsColumns", true, false, {"ab", "c\t\b\b", "d\r\n"},
     {"abc   d\r\n"}, ""},
    {"EchoWithoutEditSendsBytesBackUnchanged", false, true, {"a\tb\bc\r\n"}, {"a\tb\bc\r\n"},
     "a\tb\bc\r\n"},
    {"ErasingEverythingLeavesNoLine", true, false, {"xy", "\b\b\b\b", "\r\n"}, {"\r\n"}, ""},
};
// clang-format on

// A failing row is named by its name, not by its bytes.
void PrintTo(const TEditCase& c, std::ostream* os) {
  *os << c.name;
}

class LineEditTest : public LineFixture, public ::testing::WithParamInterface<TEditCase> {};

// Reads holds one entry per handler call, so the lines compare call for call. A last line
// typed with echo on shows that nothing was echoed before it that the case does not expect.
TEST_P(LineEditTest, LinesAndEcho) {
  const TEditCase& c = GetParam();
  Sock->SetLineEdit(c.edit);
  Sock->SetLineEcho(c.echo);
  Sock->SetLineMode(true);
  for (const std::string& packet : c.packets) Deliver(packet);
  EXPECT_EQ(Reads, c.lines);
  Sock->SetLineEcho(true);
  Deliver("z\r\n");
  EXPECT_EQ(Reads.back(), "z\r\n");
  EXPECT_EQ(PeerReceives(c.echoed.size() + 3), c.echoed + "z\r\n");
}

INSTANTIATE_TEST_SUITE_P(Cases, LineEditTest, ::testing::ValuesIn(kEditCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

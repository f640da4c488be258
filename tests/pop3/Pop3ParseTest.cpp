#include "pop3/Pop3Parse.h"

#include <gtest/gtest.h>

TEST(Pop3Parse, TwoNumbersOfStatAndListReplies) {
  const struct {
    const char* reply;
    bool parsed;
    std::int32_t first, second;
  } cases[] = {
      {"+OK 2 320", true, 2, 320},
      // Blanks of every kind between the numbers, text after them.
      {"+OK\t7 \r\n 99 octets", true, 7, 99},
      // A list line has no status word at all.
      {"3 1200", true, 3, 1200},
      // Without two numbers the reply gives 0 and 0.
      {"+OK", false, 0, 0},
      {"+OK 5", false, 0, 0},
      {"+OK 5   ", false, 0, 0},
      // Something other than a digit where the second number belongs gives 0 for it.
      {"+OK 5 x", true, 5, 0},
      // A minus sign is not part of a number: it is skipped like any other character.
      {"+OK -4 -6", true, 4, 0},
      // A number too large for 32 bits wraps instead of failing.
      {"+OK 4294967297 1", true, 1, 1},
  };
  for (const auto& c : cases) {
    std::int32_t first = -1, second = -1;
    EXPECT_EQ(ParseTwoNumbers(c.reply, first, second), c.parsed) << c.reply;
    EXPECT_EQ(first, c.first) << c.reply;
    EXPECT_EQ(second, c.second) << c.reply;
  }
}

TEST(Pop3Parse, NumberAndIdOfUidlReplies) {
  const struct {
    const char* reply;
    bool parsed;
    std::int32_t number;
    const char* id;
  } cases[] = {
      {"+OK 1 whqtswO00WBw418f9t5JxYwZ", true, 1, "whqtswO00WBw418f9t5JxYwZ"},
      // The id stops at the first character that is not printable, and text after it is
      // dropped.
      {"12 abc def", true, 12, "abc"},
      {"12 ab\tc", true, 12, "ab"},
      // Only spaces separate number and id; a tab ends the id before it starts.
      {"4\tx", true, 4, ""},
      // No digit at all: both reset.
      {"+OK", false, 0, ""},
  };
  for (const auto& c : cases) {
    std::int32_t number = -1;
    std::string id = "old";
    EXPECT_EQ(ParseNumberAndId(c.reply, number, id), c.parsed) << c.reply;
    EXPECT_EQ(number, c.number) << c.reply;
    EXPECT_EQ(id, c.id) << c.reply;
  }
}

TEST(Pop3Parse, NumbersBlanksAndFirstNumber) {
  std::int32_t v = -1;
  EXPECT_EQ(ParseNumber(" \t\r\n42x", 0, v), 6u);
  EXPECT_EQ(v, 42);
  EXPECT_EQ(ParseNumber("\v42", 0, v), 0u);  // vertical tab is not a blank
  EXPECT_EQ(v, 0);
  EXPECT_EQ(SkipBlanks("  \t", 0), 3u);
  EXPECT_EQ(ParseFirstNumber("+OK 17 is the last"), 17);
  EXPECT_EQ(ParseFirstNumber("+OK none"), 0);
}

TEST(Pop3Parse, TimestampOfTheGreeting) {
  EXPECT_EQ(CaptureTimestamp("+OK POP3 server ready <1896.697170952@dbc.mtview.ca.us>"),
            "<1896.697170952@dbc.mtview.ca.us>");
  // A ">" before the first "<" does not count.
  EXPECT_EQ(CaptureTimestamp("+OK a>b <x@y> tail"), "<x@y>");
  EXPECT_EQ(CaptureTimestamp("+OK <a<b>c>"), "<a<b>");
  EXPECT_EQ(CaptureTimestamp("+OK <unterminated"), "");
  EXPECT_EQ(CaptureTimestamp("+OK only> close"), "");
  EXPECT_EQ(CaptureTimestamp("+OK ready"), "");
}

TEST(Pop3Parse, TrimRemovesEveryControlCharacterAtBothEnds) {
  EXPECT_EQ(TrimControls(" \t alice \r\n"), "alice");
  EXPECT_EQ(TrimControls(std::string("\x01pw word\x1f", 9)), "pw word");
  EXPECT_EQ(TrimControls("   "), "");
}

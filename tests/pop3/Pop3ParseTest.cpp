#include "pop3/Pop3Parse.h"

#include <gtest/gtest.h>

TEST(Pop3Parse, TwoNumbersOfStatAndListReplies) {
  std::int32_t a = -1, b = -1;
  EXPECT_TRUE(ParseTwoNumbers("+OK 2 320", a, b));
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 320);
  // Blanks of every kind between the numbers, text after them.
  EXPECT_TRUE(ParseTwoNumbers("+OK\t7 \r\n 99 octets", a, b));
  EXPECT_EQ(a, 7);
  EXPECT_EQ(b, 99);
  // A list line has no status word at all.
  EXPECT_TRUE(ParseTwoNumbers("3 1200", a, b));
  EXPECT_EQ(a, 3);
  EXPECT_EQ(b, 1200);
}

TEST(Pop3Parse, MalformedTwoNumberRepliesGiveZeros) {
  std::int32_t a = -1, b = -1;
  EXPECT_FALSE(ParseTwoNumbers("+OK", a, b));
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 0);
  a = b = -1;
  EXPECT_FALSE(ParseTwoNumbers("+OK 5", a, b));  // a single number gives 0 and 0
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 0);
  a = b = -1;
  EXPECT_FALSE(ParseTwoNumbers("+OK 5   ", a, b));
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 0);
  // Something other than a digit where the second number belongs gives 0 for it.
  EXPECT_TRUE(ParseTwoNumbers("+OK 5 x", a, b));
  EXPECT_EQ(a, 5);
  EXPECT_EQ(b, 0);
  // A minus sign is not part of a number: it is skipped like any other character.
  EXPECT_TRUE(ParseTwoNumbers("+OK -4 -6", a, b));
  EXPECT_EQ(a, 4);
  EXPECT_EQ(b, 0);
  // A number too large for 32 bits wraps instead of failing.
  EXPECT_TRUE(ParseTwoNumbers("+OK 4294967297 1", a, b));
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 1);
}

TEST(Pop3Parse, NumberAndIdOfUidlReplies) {
  std::int32_t n = -1;
  std::string id = "old";
  EXPECT_TRUE(ParseNumberAndId("+OK 1 whqtswO00WBw418f9t5JxYwZ", n, id));
  EXPECT_EQ(n, 1);
  EXPECT_EQ(id, "whqtswO00WBw418f9t5JxYwZ");
  // The id stops at the first character that is not printable, and text after it is
  // dropped.
  EXPECT_TRUE(ParseNumberAndId("12 abc def", n, id));
  EXPECT_EQ(n, 12);
  EXPECT_EQ(id, "abc");
  EXPECT_TRUE(ParseNumberAndId("12 ab\tc", n, id));
  EXPECT_EQ(id, "ab");
  // Only spaces separate number and id; a tab ends the id before it starts.
  EXPECT_TRUE(ParseNumberAndId("4\tx", n, id));
  EXPECT_EQ(n, 4);
  EXPECT_EQ(id, "");
  // No digit at all: both reset.
  EXPECT_FALSE(ParseNumberAndId("+OK", n, id));
  EXPECT_EQ(n, 0);
  EXPECT_EQ(id, "");
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

#include <gtest/gtest.h>

#include "forms/StrUtils.h"

TEST(StrUtils, LowerCaseChangesOnlyAsciiCapitals) {
  EXPECT_EQ(LowerCase("Setup.EXE"), "setup.exe");
  EXPECT_EQ(LowerCase("\xC4\xD6@[`{Z"), "\xC4\xD6@[`{z");  // Latin-1 capitals stay
}

TEST(StrUtils, CopyIsOneBasedAndSafeOutsideTheText) {
  const struct {
    std::int64_t index, count;
    const char* expected;
  } cases[] = {{1, 5, "From:"}, {7, 100, "alice"}, {12, 1, ""}, {13, 5, ""},
               {0, 2, "Fr"},    {-4, 2, "Fr"},     {3, 0, ""},  {3, -1, ""}};
  for (const auto& c : cases)
    EXPECT_EQ(Copy("From: alice", c.index, c.count), c.expected) << c.index << "," << c.count;
  EXPECT_EQ(CopyFrom("From:", 7), "");  // a bare "From:" line gives an empty sender
  EXPECT_EQ(CopyFrom("Subject: hi", 10), "hi");
}

TEST(StrUtils, StrToIntIsStrictDecimal) {
  const struct {
    const char* text;
    bool ok;
    std::int32_t value;
  } cases[] = {{"17", true, 17},
               {"-5", true, -5},
               {"+8", true, 8},
               {"2147483647", true, INT32_MAX},
               {"-2147483648", true, INT32_MIN},
               {"2147483648", false, 0},
               {"99999999999999999999", false, 0},
               {"", false, 0},
               {"-", false, 0},
               {" 1", false, 0},
               {"1 ", false, 0},
               {"$1F", false, 0},
               {"1a", false, 0}};
  for (const auto& c : cases) {
    std::int32_t value = 0;
    EXPECT_EQ(TryStrToInt(c.text, value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
  EXPECT_THROW(
      {
        try {
          StrToInt("x1");
        } catch (const EConvertError& e) {
          EXPECT_STREQ(e.what(), "'x1' is not a valid integer value");
          throw;
        }
      },
      EConvertError);
}

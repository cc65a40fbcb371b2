#include "settings/NumberText.h"

#include <gtest/gtest.h>

TEST(ParseConfigNumber, AcceptsDecimalAndDollarHex) {
  struct {
    const char* text;
    int32_t value;
  } cases[] = {{"0", 0},          {"7", 7},           {" 7", 7},          {"   +12", 12},
               {"-5", -5},        {"007", 7},         {"2147483647", 2147483647},
               {"-2147483648", -2147483647 - 1},     {"$1F", 31},        {"$1f", 31},
               {"$FFFFFFFF", -1}, {"$80000000", -2147483647 - 1},      {"$000000001", 1},
               {"  $7fffffff", 2147483647}};
  for (const auto& c : cases) {
    int32_t v = 12345;
    EXPECT_TRUE(ParseConfigNumber(c.text, v)) << '"' << c.text << '"';
    EXPECT_EQ(v, c.value) << '"' << c.text << '"';
  }
}

TEST(ParseConfigNumber, RejectsEverythingElseAndLeavesTheValue) {
  for (const char* text : {"", " ", "12a", "7 ", "+", "-", "$", "$G", "2147483648", "-2147483649",
                           "99999999999999999999", "$100000000", "-$1", "$-1", "1.5", "1,000", "\t7", "0x10",
                           "+-1", " - 1"}) {
    int32_t v = 12345;
    EXPECT_FALSE(ParseConfigNumber(text, v)) << '"' << text << '"';
    EXPECT_EQ(v, 12345);
  }
}

TEST(DecimalText, SignedWithoutPaddingOrSeparators) {
  EXPECT_EQ(DecimalText(0), "0");
  EXPECT_EQ(DecimalText(-5), "-5");
  EXPECT_EQ(DecimalText(1234567), "1234567");
  EXPECT_EQ(DecimalText(-2147483647 - 1), "-2147483648");
}

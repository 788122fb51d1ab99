#include "settings/int_text.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct Case {
  const char* text;
  std::optional<std::int32_t> expected;
};

const Case kCases[] = {
    // Decimal, and the edges of the signed 32-bit range.
    {"0", 0},
    {"42", 42},
    {"007", 7},
    {"-0", 0},
    {"+5", 5},
    {"2147483647", 2147483647},
    {"-2147483648", INT32_MIN},
    {"2147483648", std::nullopt},
    {"-2147483649", std::nullopt},
    {"99999999999999999999", std::nullopt},
    {"18446744073709551617", std::nullopt},  // 2^64 + 1: no wrap to 1.
    {"00000000002147483647", 2147483647},
    // Hexadecimal prefixes and the 8-significant-digit limit.
    {"$FFFFFFFF", -1},
    {"$ffffffff", -1},
    {"0x800E", 32782},
    {"0X7d0", 2000},
    {"x10", 16},
    {"X10", 16},
    {"$7d0", 2000},
    {"$09afAF", 0x09AFAF},  // Both ends of each range of digits.
    {"-$10", -16},
    {"+0x10", 16},
    {"-$80000000", INT32_MIN},
    {"$100000000", std::nullopt},
    {"$000000001", 1},
    {"0x00000000FFFFFFFF", -1},
    // Blanks: leading spaces only, nothing after.
    {" 777", 777},
    {"   -1", -1},
    {"777 ", std::nullopt},
    {" 777 ", std::nullopt},
    {"\t7", std::nullopt},
    {"- 7", std::nullopt},
    // Not integers.
    {"", std::nullopt},
    {" ", std::nullopt},
    {"-", std::nullopt},
    {"+", std::nullopt},
    {"$", std::nullopt},
    {"0x", std::nullopt},
    {"-0x", std::nullopt},
    {"x", std::nullopt},
    {"--1", std::nullopt},
    {"+-1", std::nullopt},
    {"3x", std::nullopt},
    {"0x4g", std::nullopt},
    {"$-10", std::nullopt},
    {"00x10", std::nullopt},
    {"1e3", std::nullopt},
    {"true", std::nullopt},
    {"1.0", std::nullopt},
};

TEST(IntTextTest, ParsesByTheRule) {
  for (const Case& c : kCases) {
    EXPECT_EQ(c.expected, ParseInt32(c.text)) << "text: \"" << c.text << "\"";
  }
}

TEST(IntTextTest, StopsNowhereButTheEnd) {
  // An embedded NUL is a byte after the digits, not an end.
  EXPECT_EQ(std::nullopt, ParseInt32(std::string_view("12\0", 3)));
}

TEST(IntTextTest, FormatsPlainSignedDecimal) {
  EXPECT_EQ("-1", FormatInt32(-1));
  EXPECT_EQ("0", FormatInt32(0));
  EXPECT_EQ("2147483647", FormatInt32(INT32_MAX));
  EXPECT_EQ("-2147483648", FormatInt32(INT32_MIN));
}

TEST(IntTextTest, FormattedValuesParseBack) {
  for (std::int32_t value : {INT32_MIN, -1, 0, 1, 3600000, INT32_MAX}) {
    EXPECT_EQ(value, ParseInt32(FormatInt32(value)));
  }
}

}  // namespace

#include "core/strings/NumberText.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TEST(StrIsInteger, SignsAndBlanksOnlyBeforeDigits) {
    EXPECT_TRUE(StrIsInteger(" -42"));
    EXPECT_TRUE(StrIsInteger("\t+ 7"));
    EXPECT_TRUE(StrIsInteger(""));
    EXPECT_TRUE(StrIsInteger("  "));
    EXPECT_TRUE(StrIsInteger("-"));
    EXPECT_FALSE(StrIsInteger("42 "));
    EXPECT_FALSE(StrIsInteger("--4"));
    EXPECT_FALSE(StrIsInteger("4-"));
    EXPECT_FALSE(StrIsInteger("4.0"));
    EXPECT_FALSE(StrIsInteger("0x1"));
}

TEST(StrIsDecimal, NeedsExactlyOneDot) {
    EXPECT_TRUE(StrIsDecimal("-1.5"));
    EXPECT_TRUE(StrIsDecimal(".5"));
    EXPECT_TRUE(StrIsDecimal(" + 3."));
    EXPECT_FALSE(StrIsDecimal("1.2.3"));
    EXPECT_FALSE(StrIsDecimal("15"));
    EXPECT_FALSE(StrIsDecimal(". 5"));
    EXPECT_FALSE(StrIsDecimal(".-5"));
}

TEST(Conversions, FollowTheRuntime) {
    EXPECT_EQ(-12, StrToInt(" -12abc"));
    EXPECT_EQ(0, StrToInt("abc"));
    EXPECT_FLOAT_EQ(2.5f, StrToFloat("2.5x"));
}

struct Split {
    std::string text;
    int32_t number;
};

Split SplitOf(const char* text, size_t size = 64) {
    char out[64];
    int32_t number = -99;
    StrSplitTrailingNumber(text, out, size, &number);
    return {out, number};
}

TEST(StrSplitTrailingNumber, ReadsTheRunAsAnIntegerLiteral) {
    EXPECT_EQ("item", SplitOf("item12").text);
    EXPECT_EQ(12, SplitOf("item12").number);
    EXPECT_EQ("item", SplitOf("item").text);
    EXPECT_EQ(1, SplitOf("item").number);
    EXPECT_EQ(8, SplitOf("item010").number);
    EXPECT_EQ("item", SplitOf("item010").text);
    // A non-octal digit ends an octal run: "09" reads as 0.
    EXPECT_EQ(0, SplitOf("item09").number);
    EXPECT_EQ(1234, SplitOf("item1234").number);
    EXPECT_EQ("", SplitOf("42").text);
    EXPECT_EQ(42, SplitOf("42").number);
    // One character, digit or not, gives 0; the empty text gives 1.
    EXPECT_EQ(0, SplitOf("7").number);
    EXPECT_EQ("7", SplitOf("7").text);
    EXPECT_EQ(1, SplitOf("").number);
    // A run too large for 32 bits saturates instead of overflowing.
    EXPECT_EQ(INT32_MAX, SplitOf("n99999999999999999999").number);
}

TEST(StrSplitTrailingNumber, CutsWithinASmallDestination) {
    const Split split = SplitOf("longname12", 5);
    EXPECT_EQ("long", split.text);
    EXPECT_EQ(12, split.number);
    EXPECT_EQ("ab", SplitOf("ab12", 3).text);
}

} // namespace

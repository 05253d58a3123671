#include "core/strings/NumberText.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

namespace {

// Signs and blanks only before the digits; a decimal needs exactly one dot.
TEST(NumberText, RecognisesIntegersAndDecimals) {
    // text, whether an integer, whether a decimal.
    const std::tuple<const char*, bool, bool> cases[] = {
        {" -49", true, false}, {"\t+ 7", true, false}, {"42 ", false, false},
        {"--4", false, false}, {"4-", false, false},   {"0x1", false, false},
        {"4.0", false, true},  {"1.2.3", false, false}};
    for (const auto& [text, integer, decimal] : cases) {
        EXPECT_EQ(integer, StrIsInteger(text)) << text;
        EXPECT_EQ(decimal, StrIsDecimal(text)) << text;
    }
}

// The run reads as a C literal (0 makes it octal) and saturates; one character gives 0, no run 1.
TEST(NumberText, SplitsATrailingNumberIntoABoundedDestination) {
    // text, destination size, name, number.
    const std::tuple<const char*, size_t, const char*, int32_t> cases[] = {
        {"item12", 64, "item", 12}, {"item", 64, "item", 1},
        {"item010", 64, "item", 8}, {"42", 64, "", 42},
        {"7", 64, "7", 0},          {"n99999999999999999999", 64, "n", INT32_MAX},
        {"abc12", 3, "ab", 12}};
    for (const auto& [text, size, name, expected] : cases) {
        char out[65];
        out[size] = '#';
        int32_t number = -99;
        StrSplitTrailingNumber(text, out, size, &number);
        EXPECT_STREQ(name, out) << text;
        EXPECT_EQ(expected, number) << text;
        EXPECT_EQ('#', out[size]) << text;
    }
}

} // namespace

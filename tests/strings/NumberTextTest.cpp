#include "core/strings/NumberText.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// Signs and blanks only before the digits; a decimal needs exactly one dot.
TEST(NumberText, RecognisesIntegersAndDecimals) {
    const struct {
        const char* text;
        bool integer, decimal;
    } cases[] = {{" -49", true, false}, {"\t+ 7", true, false}, {"42 ", false, false},
                 {"--4", false, false}, {"4-", false, false},   {"0x1", false, false},
                 {"4.0", false, true},  {"1.2.3", false, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.integer, StrIsInteger(c.text)) << c.text;
        EXPECT_EQ(c.decimal, StrIsDecimal(c.text)) << c.text;
    }
}

// The trailing run reads as an integer literal (a leading 0 makes it octal); one character,
// digit or not, gives 0, no run 1; a run too large for 32 bits saturates. The destination
// (here with room for size bytes only) is never written past.
TEST(NumberText, SplitsATrailingNumberIntoABoundedDestination) {
    const struct {
        const char* text;
        size_t size;
        const char* name;
        int32_t number;
    } cases[] = {{"item12", 64, "item", 12}, {"item", 64, "item", 1},
                 {"item010", 64, "item", 8}, {"42", 64, "", 42},
                 {"7", 64, "7", 0},          {"n99999999999999999999", 64, "n", INT32_MAX},
                 {"abc12", 3, "ab", 12}};
    for (const auto& c : cases) {
        char out[65];
        out[c.size] = '#';
        int32_t number = -99;
        StrSplitTrailingNumber(c.text, out, c.size, &number);
        EXPECT_STREQ(c.name, out) << c.text;
        EXPECT_EQ(c.number, number) << c.text;
        EXPECT_EQ('#', out[c.size]) << c.text;
    }
}

} // namespace

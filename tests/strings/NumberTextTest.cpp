#include "core/strings/NumberText.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

// Signs and blanks only before the digits; a decimal needs exactly one dot.
TEST(NumberText, RecognisesIntegersAndDecimals) {
    const struct {
        const char* text;
        bool integer, decimal;
    } cases[] = {{" -42", true, false}, {"\t+ 7", true, false}, {"", true, false},
                 {"  ", true, false},   {"-", true, false},     {"15", true, false},
                 {"42 ", false, false}, {"--4", false, false},  {"4-", false, false},
                 {"0x1", false, false}, {"4.0", false, true},   {"-1.5", false, true},
                 {".5", false, true},   {" + 3.", false, true}, {"1.2.3", false, false},
                 {". 5", false, false}, {".-5", false, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.integer, StrIsInteger(c.text)) << c.text;
        EXPECT_EQ(c.decimal, StrIsDecimal(c.text)) << c.text;
    }
    EXPECT_EQ(-12, StrToInt(" -12abc"));
    EXPECT_EQ(0, StrToInt("abc"));
    EXPECT_FLOAT_EQ(2.5f, StrToFloat("2.5x"));
}

// The trailing run reads as an integer literal (a leading 0 makes it octal, and a non-octal
// digit ends it); one character, digit or not, gives 0, the empty text 1; a run too large for
// 32 bits saturates.
TEST(NumberText, SplitsATrailingNumberIntoABoundedDestination) {
    const struct {
        const char* text;
        size_t size;
        const char* name;
        int32_t number;
    } cases[] = {{"item12", 64, "item", 12},
                 {"item", 64, "item", 1},
                 {"item010", 64, "item", 8},
                 {"item09", 64, "item", 0},
                 {"item1234", 64, "item", 1234},
                 {"42", 64, "", 42},
                 {"7", 64, "7", 0},
                 {"", 64, "", 1},
                 {"n99999999999999999999", 64, "n", INT32_MAX},
                 {"longname12", 5, "long", 12},
                 {"ab12", 3, "ab", 12}};
    for (const auto& c : cases) {
        char out[64];
        int32_t number = -99;
        StrSplitTrailingNumber(c.text, out, c.size, &number);
        EXPECT_STREQ(c.name, out) << c.text;
        EXPECT_EQ(c.number, number) << c.text;
    }
}

} // namespace

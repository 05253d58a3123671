#include "core/strings/BoundedText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>

namespace {

// A destination of size bytes followed by guard bytes that every call must leave alone.
struct Guarded {
    explicit Guarded(size_t size) : size(size), bytes(size + 16, '#') {}
    char* data() { return &bytes[0]; }
    bool GuardIntact() const { return bytes.compare(size, 16, std::string(16, '#')) == 0; }
    size_t size;
    std::string bytes;
};

// Copies and formats need 7 bytes: every size to one past is tried; the scratch cuts longer ones.
TEST(StrCopy, CopyAndFormatCutAtTheExactEdgeAndReportTheNeededSize) {
    for (size_t size = 0; size <= 8; ++size) {
        Guarded copied(size), formatted(size);
        EXPECT_EQ(7u, StrCopy(copied.data(), size, "abcdef"));
        EXPECT_EQ(7u, StrFormat(formatted.data(), size, "%c%d%s", 'a', 12, "def"));
        if (size > 0) {
            EXPECT_EQ(std::string("abcdef").substr(0, size - 1), copied.data()) << size;
            EXPECT_EQ(std::string("a12def").substr(0, size - 1), formatted.data()) << size;
        }
        EXPECT_TRUE(copied.GuardIntact() && formatted.GuardIntact()) << size;
    }
    Guarded out(5000);
    EXPECT_EQ(kFormatScratchLength + 1,
              StrFormat(out.data(), 5000, "%s", std::string(6000, 'a').c_str()));
    EXPECT_EQ(std::string(kFormatScratchLength, 'a'), out.data());
}

// The last row's destination holds no terminator: it is neither read nor written past its size.
TEST(StrCat, AppendsWhenItFitsAndCutsWithoutOverrunWhenNot) {
    // start, size, tail, whether it fits, result.
    const std::tuple<const char*, size_t, const char*, bool, const char*> cases[] = {
        {"abc", 8, "defg", true, "abcdefg"},
        {"abcdefg", 8, "h", false, "abcdefg"},
        {"ab", 6, "cdefgh", false, "abcde"},
        {"xxxx", 4, "y", false, "xxx"}};
    for (const auto& [start, size, tail, fits, result] : cases) {
        Guarded out(size);
        memcpy(out.data(), start, std::min(strlen(start) + 1, size));
        EXPECT_EQ(fits, StrCat(out.data(), size, tail)) << start;
        EXPECT_STREQ(result, out.data());
        EXPECT_TRUE(out.GuardIntact()) << start;
    }
}

// Insertion inside, at the end and past it; longer text is cut to the insertion scratch first.
// Lowering changes only A to Z: the characters just outside that range stay.
TEST(InPlaceEdits, InsertRemoveFirstAndLower) {
    char text[32] = "hello";
    for (const auto& step : {std::make_pair("XY", 2), {"!", 7}, {"?", 9}, {">", 0}})
        StrInsert(text, step.first, size_t(step.second));
    EXPECT_STREQ(">heXYllo!", text);
    std::string longText(700, '\0');
    longText.replace(0, 600, 600, 'a');
    StrInsert(&longText[0], "B", 1);
    EXPECT_EQ("aB" + std::string(kInsertScratchLength - 1, 'a'), longText.c_str());

    char mixed[] = "AbC-Z[@";
    StrRemoveFirst(mixed);
    StrToLower(mixed);
    EXPECT_STREQ("bc-z[@", mixed);
    char16_t wide[4];
    WStrCopy(wide, 4, u"AZ\u00C0q");
    WStrToLower(wide);
    EXPECT_EQ(u"az\u00C0", std::u16string(wide));
}

} // namespace

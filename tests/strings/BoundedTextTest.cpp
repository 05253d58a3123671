#include "core/strings/BoundedText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
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

// Copies and formats need 7 bytes here; every size up to one past that is tried.
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
    char16_t wide[4];
    WStrCopy(wide, 4, u"abcdef");
    EXPECT_EQ(u"abc", std::u16string(wide));
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

// Cut at the scratch's length, also on two threads at once: each has a scratch of its own.
TEST(StrFormat, CutsAtTheScratchAndIsSafeOnTwoThreads) {
    std::atomic<int> ready{0}, wrong{0};
    const auto formatMany = [&](char letter) {
        Guarded out(5000);
        for (++ready; ready < 2;) {
        }
        for (int i = 0; i < 2000; ++i)
            for (size_t length : {kFormatScratchLength, size_t(6000)})
                if (StrFormat(out.data(), 5000, "%s", std::string(length, letter).c_str()) !=
                        kFormatScratchLength + 1 ||
                    std::string(kFormatScratchLength, letter) != out.data() || !out.GuardIntact())
                    ++wrong;
    };
    std::thread other(formatMany, 'a');
    formatMany('b');
    other.join();
    EXPECT_EQ(0, wrong);
}

// Insertion inside, at the end and past it; longer text is cut to the insertion scratch first.
TEST(InPlaceEdits, InsertRemoveFirstLowerAndScan) {
    char text[32] = "hello";
    for (const auto& step : {std::make_pair("XY", 2), {"!", 7}, {"?", 9}, {">", 0}})
        StrInsert(text, step.first, size_t(step.second));
    EXPECT_STREQ(">heXYllo!", text);
    std::string longText(700, '\0');
    longText.replace(0, 600, 600, 'a');
    StrInsert(&longText[0], "B", 1);
    EXPECT_EQ("aB" + std::string(kInsertScratchLength - 1, 'a'), longText.c_str());

    char mixed[] = "AbC-Z[";
    StrRemoveFirst(mixed);
    StrToLower(mixed);
    EXPECT_STREQ("bc-z[", mixed);
    char16_t wide[] = u"AZ\u00C0q";
    WStrToLower(wide);
    EXPECT_EQ(u"az\u00C0q", std::u16string(wide));

    int number = 0;
    char word[4];
    EXPECT_EQ(2, StrScan("42 abc", "%d %3s", &number, word));
    EXPECT_EQ(0, StrScan("", "%d", &number));
    EXPECT_EQ("42 abc", std::to_string(number) + " " + word);
}

} // namespace

#include "core/strings/BoundedText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>

namespace {

constexpr size_t kGuard = 16;

// A destination of `size` bytes followed by guard bytes that must survive every call.
struct Guarded {
    explicit Guarded(size_t size) : size(size), bytes(size + kGuard, '#') {}
    char* data() { return &bytes[0]; }
    bool GuardIntact() const { return bytes.compare(size, kGuard, std::string(kGuard, '#')) == 0; }
    size_t size;
    std::string bytes;
};

TEST(StrCopy, CutsAtTheExactEdgeAndReportsTheNeededSize) {
    for (size_t size = 0; size <= 8; ++size) {
        Guarded out(size);
        EXPECT_EQ(7u, StrCopy(out.data(), size, "abcdef"));
        if (size > 0) {
            EXPECT_EQ(std::string("abcdef", std::min<size_t>(size - 1, 6)), out.data()) << size;
        }
        EXPECT_TRUE(out.GuardIntact()) << "size " << size;
    }
    char empty[4] = "xyz";
    EXPECT_EQ(1u, StrCopy(empty, sizeof empty, ""));
    EXPECT_STREQ("", empty);
}

// The last row's destination holds no terminator: it is neither read nor written past its size.
TEST(StrCat, AppendsWhenItFitsAndCutsWithoutOverrunWhenNot) {
    const struct {
        const char* start;
        size_t size;
        const char* tail;
        bool fits;
        const char* result;
    } cases[] = {{"abc", 8, "defg", true, "abcdefg"},
                 {"abcdefg", 8, "h", false, "abcdefg"},
                 {"ab", 6, "cdefgh", false, "abcde"},
                 {"xxxx", 4, "y", false, "xxx"}};
    for (const auto& c : cases) {
        Guarded out(c.size);
        memcpy(out.data(), c.start, std::min(strlen(c.start) + 1, c.size));
        EXPECT_EQ(c.fits, StrCat(out.data(), c.size, c.tail)) << c.start;
        EXPECT_STREQ(c.result, out.data());
        EXPECT_TRUE(out.GuardIntact()) << c.start;
    }
}

TEST(StrFormat, FormatsCutsAndNeverPassesTheScratch) {
    char small[6];
    EXPECT_EQ(9u, StrFormat(small, sizeof small, "%d MB %s", 42, "ok"));
    EXPECT_STREQ("42 MB", small);

    Guarded out(5000);
    for (size_t length : {kFormatScratchLength, size_t(6000)}) {
        EXPECT_EQ(kFormatScratchLength + 1,
                  StrFormat(out.data(), 5000, "%s", std::string(length, 'z').c_str()));
        EXPECT_EQ(std::string(kFormatScratchLength, 'z'), out.data());
    }
    EXPECT_TRUE(out.GuardIntact());
}

TEST(StrFormat, TwoThreadsFormattingAtOnceEachGetTheirOwnText) {
    // Long texts keep each formatting busy long enough for the two to overlap; both start
    // together.
    std::atomic<int> ready{0};
    const auto formatMany = [&ready](char letter, int* wrong) {
        const std::string text(3000, letter);
        char out[3100];
        ++ready;
        while (ready < 2) {
        }
        for (int i = 0; i < 20000; ++i)
            if (StrFormat(out, sizeof out, "%s.new", text.c_str()) != text.size() + 5 ||
                text + ".new" != out)
                ++*wrong;
    };
    int wrongA = 0;
    int wrongB = 0;
    std::thread other(formatMany, 'a', &wrongA);
    formatMany('b', &wrongB);
    other.join();
    EXPECT_EQ(0, wrongA);
    EXPECT_EQ(0, wrongB);
}

// Inserts inside, appends at the end, leaves alone past it; text longer than the scratch is cut
// there before the insertion.
TEST(StrInsert, InsertsAppendsOrLeavesAlone) {
    char text[32] = "hello";
    const std::pair<const char*, size_t> steps[] = {{"XY", 2}, {"!", 7}, {"?", 9}, {">", 0}};
    for (const auto& step : steps)
        StrInsert(text, step.first, step.second);
    EXPECT_STREQ(">heXYllo!", text);

    std::string longText(600, 'a');
    longText.resize(700, '\0');
    StrInsert(&longText[0], "B", 1);
    EXPECT_EQ(kInsertScratchLength + 1, strlen(longText.c_str()));
    EXPECT_EQ('B', longText[1]);
}

TEST(InPlaceEdits, RemoveFirstAndLower) {
    char text[] = "AbC-Z[";
    StrRemoveFirst(text);
    StrToLower(text);
    EXPECT_STREQ("bc-z[", text);
    char empty[] = "";
    StrRemoveFirst(empty);
    EXPECT_STREQ("", empty);
    char16_t wide[] = u"AZ\u00C0q";
    WStrToLower(wide);
    EXPECT_EQ(std::u16string(u"az\u00C0q"), std::u16string(wide));
}

} // namespace

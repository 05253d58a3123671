#include "core/strings/BoundedText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

namespace {

// A destination of `size` bytes followed by guard bytes that must survive every call.
struct Guarded {
    static constexpr size_t kGuard = 16;
    explicit Guarded(size_t size) : size(size), bytes(size + kGuard, '#') {}
    char* data() { return &bytes[0]; }
    bool GuardIntact() const { return bytes.compare(size, kGuard, std::string(kGuard, '#')) == 0; }
    size_t size;
    std::string bytes;
};

TEST(StrCopy, CutsAtTheExactEdgeAndReportsTheNeededSize) {
    for (size_t size = 1; size <= 8; ++size) {
        Guarded out(size);
        EXPECT_EQ(7u, StrCopy(out.data(), size, "abcdef"));
        const size_t kept = size < 7 ? size - 1 : 6;
        EXPECT_EQ(std::string("abcdef", kept), out.data()) << "size " << size;
        EXPECT_TRUE(out.GuardIntact()) << "size " << size;
    }
    Guarded none(0);
    EXPECT_EQ(4u, StrCopy(none.data(), 0, "abc"));
    EXPECT_TRUE(none.GuardIntact());
}

TEST(WStrCopy, CutsSixteenBitText) {
    char16_t out[4] = {u'#', u'#', u'#', u'#'};
    WStrCopy(out, 3, u"abcdef");
    EXPECT_EQ(std::u16string(u"ab"), std::u16string(out));
    EXPECT_EQ(u'#', out[3]);
}

TEST(StrCat, AppendsWhenItFitsAndCutsWithoutOverrunWhenNot) {
    Guarded out(8);
    StrCopy(out.data(), 8, "abc");
    EXPECT_TRUE(StrCat(out.data(), 8, "defg"));
    EXPECT_STREQ("abcdefg", out.data());
    EXPECT_FALSE(StrCat(out.data(), 8, "h"));
    EXPECT_STREQ("abcdefg", out.data());
    EXPECT_TRUE(out.GuardIntact());

    Guarded cut(6);
    StrCopy(cut.data(), 6, "ab");
    EXPECT_FALSE(StrCat(cut.data(), 6, "cdefgh"));
    EXPECT_STREQ("abcde", cut.data());
    EXPECT_TRUE(cut.GuardIntact());

    // A destination without a terminator is not read or written past its size.
    Guarded unterminated(4);
    memset(unterminated.data(), 'x', 4);
    EXPECT_FALSE(StrCat(unterminated.data(), 4, "y"));
    EXPECT_EQ('\0', unterminated.data()[3]);
    EXPECT_TRUE(unterminated.GuardIntact());
}

TEST(StrFormat, FormatsCutsAndNeverPassesTheScratch) {
    char small[6];
    EXPECT_EQ(9u, StrFormat(small, sizeof small, "%d MB %s", 42, "ok"));
    EXPECT_STREQ("42 MB", small);

    const std::string huge(6000, 'z');
    Guarded out(5000);
    const size_t needed = StrFormat(out.data(), 5000, "%s", huge.c_str());
    EXPECT_EQ(kFormatScratchLength + 1, needed);
    EXPECT_EQ(std::string(kFormatScratchLength, 'z'), out.data());
    EXPECT_TRUE(out.GuardIntact());

    const std::string exact(kFormatScratchLength, 'q');
    EXPECT_EQ(kFormatScratchLength + 1, StrFormat(out.data(), 5000, "%s", exact.c_str()));
    EXPECT_EQ(exact, out.data());
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

TEST(StrScan, CountsStoredFields) {
    int a = 0, b = 0;
    char word[8] = "";
    EXPECT_EQ(3, StrScan("12 34 seven", "%d %d %7s", &a, &b, word));
    EXPECT_EQ("12 34 seven", std::to_string(a) + " " + std::to_string(b) + " " + word);
    EXPECT_EQ(0, StrScan("", "%d", &a));
    EXPECT_EQ(0, StrScan("x", "%d", &a));
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

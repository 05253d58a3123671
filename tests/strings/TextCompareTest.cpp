#include "core/strings/TextCompare.h"

#include <gtest/gtest.h>

namespace {

TEST(StrEqualNoCase, FoldsCaseAndTreatsNullAsEmpty) {
    EXPECT_TRUE(StrEqualNoCase("Version", "VERSION"));
    EXPECT_TRUE(StrEqualNoCase(nullptr, ""));
    EXPECT_FALSE(StrEqualNoCase("1.0", "1.0 "));
    EXPECT_FALSE(StrEqualNoCase(nullptr, "a"));
    EXPECT_LT(StrCompareNoCase("apple", "BANANA"), 0);
    EXPECT_GT(StrCompareNoCase("b", nullptr), 0);
    EXPECT_TRUE(StrIsEmpty(nullptr));
    EXPECT_TRUE(StrIsEmpty(""));
    EXPECT_FALSE(StrIsEmpty(" "));
}

TEST(StrPrefixEqualNoCase, ComparesTheShortestCommonLength) {
    EXPECT_TRUE(StrPrefixEqualNoCase("DATA/maps", "data/MAPS/x", 100));
    EXPECT_TRUE(StrPrefixEqualNoCase("abc", "abd", 2));
    EXPECT_FALSE(StrPrefixEqualNoCase("abc", "abd", 3));
    EXPECT_TRUE(StrPrefixEqualNoCase("", "anything", 5));
    EXPECT_TRUE(StrPrefixEqualNoCase("x", "y", 0));
}

TEST(StrContainsNoCase, FindsPartsAnywhereIncludingTheEnd) {
    EXPECT_TRUE(StrContainsNoCase("Hello World", "WORLD"));
    EXPECT_TRUE(StrContainsNoCase("Hello World", "lo w"));
    EXPECT_TRUE(StrContainsNoCase("abc", "ABC"));
    EXPECT_TRUE(StrContainsNoCase("abc", "c"));
    EXPECT_FALSE(StrContainsNoCase("abc", "abcd"));
    EXPECT_FALSE(StrContainsNoCase("abc", "x"));
}

} // namespace

#include "core/strings/TextCompare.h"

#include <gtest/gtest.h>

namespace {

// Case is folded, null is empty, prefixes compare the common length, a part may end the text.
TEST(TextCompare, FoldsCaseAndTreatsNullAsEmpty) {
    EXPECT_TRUE(StrEqualNoCase("Version", "VERSION") && StrEqualNoCase(nullptr, ""));
    EXPECT_GT(StrCompareNoCase("b", nullptr), 0);
    EXPECT_TRUE(StrIsEmpty(nullptr) && StrIsEmpty("") && !StrIsEmpty(" "));
    EXPECT_TRUE(StrPrefixEqualNoCase("DATA/maps", "data/MAPS/x", 100));
    EXPECT_TRUE(StrPrefixEqualNoCase("abc", "abd", 2));
    EXPECT_FALSE(StrPrefixEqualNoCase("abc", "xbc", 3));
    EXPECT_TRUE(StrContainsNoCase("Hello World", "lo w") && StrContainsNoCase("Hello", "lo"));
    EXPECT_FALSE(StrContainsNoCase("Hello", "Hello!") || StrContainsNoCase("Hello", "x"));
}

} // namespace

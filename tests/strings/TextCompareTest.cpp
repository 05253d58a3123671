#include "core/strings/TextCompare.h"

#include <gtest/gtest.h>

namespace {

// Case is folded, null is empty, prefixes compare the common length, parts are found anywhere.
TEST(TextCompare, FoldsCaseAndTreatsNullAsEmpty) {
    EXPECT_TRUE(StrEqualNoCase("Version", "VERSION") && StrEqualNoCase(nullptr, ""));
    EXPECT_GT(StrCompareNoCase("b", nullptr), 0);
    EXPECT_TRUE(StrIsEmpty(nullptr) && StrIsEmpty(""));
    EXPECT_FALSE(StrIsEmpty(" "));
    EXPECT_TRUE(StrPrefixEqualNoCase("DATA/maps", "data/MAPS/x", 100));
    EXPECT_TRUE(StrPrefixEqualNoCase("abc", "abd", 2));
    EXPECT_FALSE(StrPrefixEqualNoCase("abc", "xbc", 3));
    for (const char* part : {"lo w", "Hello World", "d"})
        EXPECT_TRUE(StrContainsNoCase("Hello World", part)) << part;
    for (const char* part : {"Hello World!", "x"})
        EXPECT_FALSE(StrContainsNoCase("Hello World", part)) << part;
}

} // namespace

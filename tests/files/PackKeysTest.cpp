#include "core/files/PackKeys.h"
#include "core/files/VersionsFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(PackKeys, NamesCompareWithoutCaseOnTheir32FirstCharacters) {
    EXPECT_EQ(NameKey::FromName("Models/Hero"), NameKey::FromName("models/HERO"));
    EXPECT_NE(NameKey::FromName("models/hero"), NameKey::FromName("models/hero2"));
    const std::string base(32, 'a');
    EXPECT_EQ(NameKey::FromName((base + "X").c_str()), NameKey::FromName((base + "y").c_str()));

    const NameKey full = NameKey::FromName(base.c_str());
    EXPECT_EQ('a', full.bytes[31]);
    char text[NameKey::kTextSize];
    full.CopyText(text);
    EXPECT_EQ(base, text);
    EXPECT_TRUE(NameKey::FromName("").IsEmpty());
    EXPECT_FALSE(NameKey::FromName("a").IsEmpty());
}

TEST(PackKeys, TypesAreTheirFirstFourBytesAndCaseSensitive) {
    EXPECT_FALSE(TypeKey::FromExtension("mesh") == TypeKey::FromExtension("MESH"));
    EXPECT_TRUE(TypeKey::FromExtension("versions") == TypeKey::FromExtension("vers"));
    const TypeKey lua = TypeKey::FromExtension("lua");
    EXPECT_EQ(0, memcmp(&lua.value, "lua\0", 4));
}

TEST(PackKeys, SplitFileNameKeepsTheNameAndLowersTheExtension) {
    char name[kRegisteredNameSize];
    char extension[kRegisteredExtensionSize];
    ASSERT_TRUE(SplitFileName("models/Hero.MESH", name, extension));
    EXPECT_STREQ("models/Hero", name);
    EXPECT_STREQ("mesh", extension);
    ASSERT_TRUE(SplitFileName("a.b.Lua", name, extension));
    EXPECT_STREQ("a.b", name);
    EXPECT_STREQ("lua", extension);
    ASSERT_TRUE(SplitFileName("data.archives", name, extension));
    EXPECT_STREQ("rchives", extension);
    EXPECT_FALSE(SplitFileName("README", name, extension));
    EXPECT_FALSE(SplitFileName(".lua", name, extension));
}

TEST(VersionsFile, NameIsTheLoweredSourceWithItsExtensionReplaced) {
    char name[64];
    ASSERT_TRUE(VersionsFileName("Bin/Game.EXE", name, sizeof name));
    EXPECT_STREQ("bin/game.versions", name);
    ASSERT_TRUE(VersionsFileName("launcher", name, sizeof name));
    EXPECT_STREQ("launcher.versions", name);
    ASSERT_TRUE(VersionsFileName("dir.v2/file", name, sizeof name));
    EXPECT_STREQ("dir.versions", name);

    const std::string longest(22, 'n');
    ASSERT_TRUE(VersionsFileName((longest + ".exe").c_str(), name, sizeof name));
    EXPECT_EQ(longest + ".versions", name);
    EXPECT_FALSE(VersionsFileName((longest + "n.exe").c_str(), name, sizeof name));
    EXPECT_STREQ("", name);
    // The source is cut to 31 characters before its extension goes.
    ASSERT_TRUE(VersionsFileName(("x.y" + std::string(28, 'z') + ".e").c_str(), name, 64));
    EXPECT_STREQ("x.versions", name);
    EXPECT_FALSE(VersionsFileName(("x.y" + std::string(27, 'z') + ".e").c_str(), name, 64));
}

} // namespace

#include "core/strings/PathText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PathCollapseSeparators, KeepsTheFirstOfEachRun) {
    char path[] = "a//b\\\\c/\\/d";
    PathCollapseSeparators(path);
    EXPECT_STREQ("a/b\\c/d", path);
    char edge[] = "\\\\server//share/";
    PathCollapseSeparators(edge);
    EXPECT_STREQ("\\server/share/", edge);
}

TEST(PathFileNameAndDirectory, WorkOnBothSeparators) {
    char out[64];
    PathFileName("dir/sub/file.txt", out, sizeof out);
    EXPECT_STREQ("file.txt", out);
    PathFileName("dir\\sub\\file.txt", out, sizeof out);
    EXPECT_STREQ("file.txt", out);
    PathFileName("plain", out, sizeof out);
    EXPECT_STREQ("plain", out);
    PathFileName("dir/", out, sizeof out);
    EXPECT_STREQ("", out);

    PathDirectory("dir/sub\\file.txt", out, sizeof out, true);
    EXPECT_STREQ("dir/sub\\", out);
    strcpy(out, "kept");
    PathDirectory("/file", out, sizeof out, false);
    EXPECT_STREQ("kept", out);
    PathDirectory("\\file", out, sizeof out, true);
    EXPECT_STREQ("", out);

    char small[5];
    PathDirectory("directory/file", small, sizeof small, true);
    EXPECT_STREQ("dire", small);
}

TEST(PathRelativeAndFirstComponent, CutByLengthAndSeparator) {
    char out[64];
    PathRelative("data/", "data/maps/a.map", out, sizeof out);
    EXPECT_STREQ("maps/a.map", out);
    PathRelative("data/maps/", "data/", out, sizeof out);
    EXPECT_STREQ("", out);
    PathRelative("xxxx/", "data/maps", out, sizeof out);
    EXPECT_STREQ("maps", out);

    PathFirstComponent("data\\maps/a.map", out, sizeof out);
    EXPECT_STREQ("data", out);
    PathFirstComponent("single", out, sizeof out);
    EXPECT_STREQ("single", out);
}

TEST(PathCommonDirectory, UsesTheCommonPrefixsLastSeparator) {
    char out[64] = "untouched";
    PathCommonDirectory("game/data/a.pak", "game/data/b.pak", out, sizeof out);
    EXPECT_STREQ("game/data/", out);
    PathCommonDirectory("game/dat1/a", "game/dat2/b", out, sizeof out);
    EXPECT_STREQ("game/", out);
    strcpy(out, "untouched");
    PathCommonDirectory("Game/a", "game/a", out, sizeof out);
    EXPECT_STREQ("untouched", out);
}

TEST(PathToForwardSlashes, ConvertsEveryBackslash) {
    char path[] = "a\\b\\";
    PathToForwardSlashes(path);
    EXPECT_STREQ("a/b/", path);
}

TEST(PathExtension, WalksBackAtMostCountCharacters) {
    char out[8];
    PathExtension("data.pack", out, 7);
    EXPECT_STREQ("pack", out);
    PathExtension("archive", out, 7);
    EXPECT_STREQ("rchive", out);
    PathExtension("abc", out, 7);
    EXPECT_STREQ("bc", out);
    PathExtension("file.longextension", out, 7);
    EXPECT_STREQ("tension", out);
    PathExtension(".hidden", out, 7);
    EXPECT_STREQ("hidden", out);
    PathExtension("", out, 7);
    EXPECT_STREQ("", out);
}

TEST(PathStripExtension, DropsFromTheLastDot) {
    char a[] = "name.txt";
    PathStripExtension(a);
    EXPECT_STREQ("name", a);
    char b[] = "a.b.c";
    PathStripExtension(b);
    EXPECT_STREQ("a.b", b);
    char c[] = "nodot";
    PathStripExtension(c);
    EXPECT_STREQ("", c);
    char d[] = ".";
    PathStripExtension(d);
    EXPECT_STREQ("", d);
}

} // namespace

#include "core/strings/PathText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Extract = void (*)(const char*, char*, size_t);

struct ExtractCase {
    Extract extract;
    const char* path;
    size_t size;
    const char* expected;
};

void Directory(const char* path, char* out, size_t size) {
    PathDirectory(path, out, size, true);
}
void DirectoryUncleared(const char* path, char* out, size_t size) {
    PathDirectory(path, out, size, false);
}
void RelativeToData(const char* path, char* out, size_t size) {
    PathRelative("data/", path, out, size);
}
void RelativeToMaps(const char* path, char* out, size_t size) {
    PathRelative("data/maps/", path, out, size);
}
void CommonWithGameA(const char* path, char* out, size_t size) {
    PathCommonDirectory("game/dat1/a", path, out, size);
}
void CommonWithAB(const char* path, char* out, size_t size) {
    PathCommonDirectory("a/b", path, out, size);
}

// Each destination starts as "kept"; PathExtension's size is the count walked back.
const ExtractCase kExtractCases[] = {
    {PathFileName, "dir/sub/file.txt", 64, "file.txt"},
    {PathFileName, "dir\\sub\\file.txt", 64, "file.txt"},
    {PathFileName, "plain", 64, "plain"},
    {PathFileName, "dir/", 64, ""},
    {Directory, "dir/sub\\file.txt", 64, "dir/sub\\"},
    {Directory, "\\file", 64, ""},
    {Directory, "directory/file", 5, "dire"},
    {DirectoryUncleared, "/file", 64, "kept"},
    {RelativeToData, "data/maps/a.map", 64, "maps/a.map"},
    {RelativeToData, "xxxxxmaps", 64, "maps"},
    {RelativeToMaps, "data/", 64, ""},
    {PathFirstComponent, "data\\maps/a.map", 64, "data"},
    {PathFirstComponent, "single", 64, "single"},
    // The common prefix's last separator, case counting.
    {CommonWithGameA, "game/dat1/b", 64, "game/dat1/"},
    {CommonWithGameA, "game/dat2/b", 64, "game/"},
    {CommonWithGameA, "Game/dat1/a", 64, "kept"},
    {CommonWithAB, "a/c", 64, "a/"},
    {PathExtension, "data.pack", 7, "pack"},
    {PathExtension, "archive", 7, "rchive"},
    {PathExtension, "abc", 7, "bc"},
    {PathExtension, "file.longextension", 7, "tension"},
    {PathExtension, ".hidden", 7, "hidden"},
    {PathExtension, "", 7, ""},
};

TEST(PathText, ExtractsPartsIntoBoundedDestinations) {
    for (const ExtractCase& c : kExtractCases) {
        char out[64] = "kept";
        c.extract(c.path, out, c.size);
        EXPECT_STREQ(c.expected, out) << c.path << " size " << c.size;
    }
}

TEST(PathText, EditsInPlace) {
    const struct {
        void (*edit)(char*);
        const char* path;
        const char* expected;
    } cases[] = {
        {PathCollapseSeparators, "a//b\\\\c/\\/d", "a/b\\c/d"}, // keeps the first of each run
        {PathCollapseSeparators, "\\\\server//share/", "\\server/share/"},
        {PathToForwardSlashes, "a\\b\\", "a/b/"},
        {PathStripExtension, "name.txt", "name"}, // from the last dot; nothing left without one
        {PathStripExtension, "a.b.c", "a.b"},
        {PathStripExtension, "nodot", ""},
        {PathStripExtension, ".", ""},
    };
    for (const auto& c : cases) {
        std::string path = c.path;
        c.edit(&path[0]);
        EXPECT_STREQ(c.expected, path.c_str()) << c.path;
    }
    // Nothing before the text is read: its leading separator stays after another in memory.
    char after[] = "//x";
    PathCollapseSeparators(after + 1);
    EXPECT_STREQ("/x", after + 1);
}

} // namespace

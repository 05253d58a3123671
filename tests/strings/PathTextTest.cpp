#include "core/strings/PathText.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

const auto Directory = [](const char* p, char* o, size_t n) { PathDirectory(p, o, n, true); };
const auto FromData = [](const char* p, char* o, size_t n) { PathRelative("data/", p, o, n); };
const auto Common = [](const char* p, char* o, size_t n) { PathCommonDirectory("g/d/a", p, o, n); };
const auto Rooted = [](const char* p, char* o, size_t n) { PathCommonDirectory("/a", p, o, n); };

// Destinations start as "kept"; PathExtension's size is the count it walks back.
TEST(PathText, ExtractsPartsIntoBoundedDestinations) {
    const std::tuple<void (*)(const char*, char*, size_t), const char*, size_t, const char*>
        cases[] = {
            {PathFileName, "dir/sub\\file.txt", 64, "file.txt"},
            {Directory, "dir/sub\\file.txt", 64, "dir/sub\\"},
            {Directory, "\\file", 64, ""},
            {Directory, "d\\file", 2, "d"},
            {FromData, "data/maps/a.map", 64, "maps/a.map"},
            {FromData, "dat", 64, ""},
            {PathFirstComponent, "data\\maps/a.map", 64, "data"},
            // The common prefix's last separator.
            {Common, "g/d/b", 64, "g/d/"},
            {Common, "g/d", 64, "g/"},
            {Rooted, "/b", 64, "kept"},
            {PathExtension, "data.pack", 7, "pack"},
            {PathExtension, "archive", 7, "rchive"},
            {PathExtension, "file.longextension", 7, "tension"},
        };
    for (const auto& [extract, path, size, expected] : cases) {
        char out[64] = "kept";
        extract(path, out, size);
        EXPECT_STREQ(expected, out) << path << " size " << size;
    }
}

// Each text follows a separator in memory, which collapsing must not read.
TEST(PathText, EditsInPlace) {
    const std::tuple<void (*)(char*), const char*, const char*> cases[] = {
        {PathCollapseSeparators, "\\\\a//b\\\\c/\\/d/", "\\a/b\\c/d/"},
        {PathToForwardSlashes, "a\\b\\", "a/b/"},
        {PathStripExtension, "a.b.c", "a.b"},
        {PathStripExtension, "nodot", ""},
        {PathStripExtension, ".", ""},
    };
    for (const auto& [edit, text, expected] : cases) {
        std::string path = "/" + std::string(text);
        edit(&path[1]);
        EXPECT_STREQ(expected, path.c_str() + 1) << text;
    }
}

} // namespace

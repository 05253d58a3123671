#include "tools/release/TreeChanges.h"

#include "core/strings/TextCompare.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr size_t kCompareBlock = 1 << 20;

struct Item {
    bool directory;
    uint64_t size;
};

using Tree = std::map<std::string, Item>;

bool Fail(std::string* error, const std::string& text) {
    *error = text;
    return false;
}

bool WalkTree(const std::string& root, Tree* tree, std::string* error) {
    std::error_code code;
    if (!fs::is_directory(root, code))
        return Fail(error, root + " is not a readable directory");
    try {
        fs::recursive_directory_iterator walk(root, code), end;
        for (; !code && walk != end; walk.increment(code)) {
            const fs::directory_entry& entry = *walk;
            const std::string name = entry.path().lexically_relative(root).generic_string();
            const std::string shown = (fs::path(root) / name).generic_string();
            const bool link = entry.is_symlink(code);
            const fs::file_status status = entry.status(code);
            const uint64_t size = fs::is_regular_file(status) ? entry.file_size(code) : 0;
            if (code)
                return Fail(error, "cannot read " + shown + ": " + code.message());
            if (link && fs::is_directory(status))
                return Fail(error, shown + " is a link to a directory; copy what it holds");
            if (!fs::is_directory(status) && !fs::is_regular_file(status))
                return Fail(error, shown + " is neither a file nor a directory");
            (*tree)[name] = Item{fs::is_directory(status), size};
        }
    } catch (const std::exception& exception) {
        return Fail(error, root + ": " + exception.what());
    }
    if (code)
        return Fail(error, root + ": " + code.message());
    return true;
}

// Reads both files to their ends; false at the first difference.
bool SameContent(const std::string& a, const std::string& b, ProgressLine* progress,
                 bool* readable) {
    FILE* first = fopen(a.c_str(), "rb");
    FILE* second = fopen(b.c_str(), "rb");
    *readable = first && second;
    bool same = *readable;
    std::unique_ptr<char[]> blocks(new char[2 * kCompareBlock]);
    while (same) {
        const size_t count = fread(blocks.get(), 1, kCompareBlock, first);
        same = fread(blocks.get() + kCompareBlock, 1, kCompareBlock, second) == count &&
               memcmp(blocks.get(), blocks.get() + kCompareBlock, count) == 0;
        progress->AddBytes(count);
        if (count < kCompareBlock) {
            *readable = !ferror(first) && !ferror(second);
            break;
        }
    }
    if (first)
        fclose(first);
    if (second)
        fclose(second);
    return same && *readable;
}

bool HasChildren(const Tree& tree, const std::string& dir) {
    const auto next = tree.upper_bound(dir);
    return next != tree.end() && next->first.compare(0, dir.size() + 1, dir + "/") == 0;
}

} // namespace

bool CompareTrees(const std::string& oldDir, const std::string& newDir, TreeChanges* changes,
                  ProgressLine* progress, std::string* error) {
    Tree before, after;
    if (!WalkTree(oldDir, &before, error) || !WalkTree(newDir, &after, error))
        return false;
    std::map<std::string, std::string> folded;
    for (const auto& item : after) {
        const std::string& name = item.first;
        std::string lowered = name;
        for (char& c : lowered)
            c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
        const auto added = folded.emplace(lowered, name);
        if (!added.second)
            return Fail(error, newDir + " holds " + added.first->second + " and " + name +
                                   ", which are one name on Windows");
        const auto old = before.find(name);
        const bool existed = old != before.end();
        if (existed && old->second.directory != item.second.directory)
            return Fail(error, name + " is a " + (item.second.directory ? "directory" : "file") +
                                   " in " + newDir + " but a " +
                                   (item.second.directory ? "file" : "directory") + " in " +
                                   oldDir + ", and the launcher cannot replace one by the other");
        if (item.second.directory) {
            if (!existed && !HasChildren(after, name))
                changes->emptyDirs.push_back(name);
            continue;
        }
        progress->AddFile();
        bool readable = true;
        if (existed && old->second.size == item.second.size &&
            SameContent(oldDir + "/" + name, newDir + "/" + name, progress, &readable))
            continue;
        if (!readable)
            return Fail(error, "cannot read " + name + " in " + oldDir + " or " + newDir);
        changes->files.push_back(PackedFile{name, item.second.size});
    }
    for (const auto& item : before)
        if (!item.second.directory && !after.count(item.first))
            changes->removed.push_back(item.first);
    return true;
}

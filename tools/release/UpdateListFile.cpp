#include "tools/release/UpdateListFile.h"

#include "core/platform/FileReplace.h"
#include "core/strings/TextCompare.h"
#include "core/xml/XmlEscape.h"
#include "updater/UpdateDocuments.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

bool Fail(std::string* error, const std::string& text) {
    *error = text;
    return false;
}

bool WriteText(const std::string& path, const std::string& text) {
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written =
        fwrite(text.data(), 1, text.size(), file) == text.size() && PlatformSyncFile(file);
    return fclose(file) == 0 && written;
}

std::string EntryXml(const UpdateRecord& entry, const char* eol) {
    std::string xml = std::string("   <update>") + eol;
    auto add = [&](const char* name, const char* value) {
        xml += std::string("      <") + name + ">" + XmlEscaped(value) + "</" + name + ">" + eol;
    };
    add("for", entry.forVersion);
    add("to", entry.toVersion);
    add("name", entry.name);
    add("file", entry.file);
    // The package's hash and size only when known, as in a list made by hand.
    if (*entry.sha256)
        add("sha256", entry.sha256);
    if (*entry.size)
        add("size", entry.size);
    if (*entry.delta) {
        add("delta", entry.delta);
        add("deltasha256", entry.deltaSha256);
        add("deltasize", entry.deltaSize);
    }
    return xml + "   </update>" + eol;
}

// The text with entry inserted before the end tag of "game", in the file's own line ends. An
// empty "<game/>" is opened up for it.
bool InsertEntry(const std::string& text, const UpdateRecord& entry, std::string* result) {
    const char* eol = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    const size_t end = text.rfind("</game");
    if (end == std::string::npos) {
        const size_t empty = text.find("<game/>");
        if (empty == std::string::npos)
            return false;
        *result = text.substr(0, empty) + "<game>" + eol + EntryXml(entry, eol) + "</game>" +
                  text.substr(empty + 7);
        return true;
    }
    size_t lineStart = text.find_last_of('\n', end);
    lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
    const bool ownLine = text.find_first_not_of(" \t", lineStart) == end;
    const size_t at = ownLine ? lineStart : end;
    *result = text.substr(0, at) + (ownLine ? "" : eol) + EntryXml(entry, eol) + text.substr(at);
    return true;
}

bool SameRecord(const UpdateRecord& a, const UpdateRecord& b) {
    return strcmp(a.forVersion, b.forVersion) == 0 && strcmp(a.toVersion, b.toVersion) == 0 &&
           strcmp(a.name, b.name) == 0 && strcmp(a.file, b.file) == 0 &&
           strcmp(a.sha256, b.sha256) == 0 && strcmp(a.size, b.size) == 0 &&
           strcmp(a.delta, b.delta) == 0 && strcmp(a.deltaSha256, b.deltaSha256) == 0 &&
           strcmp(a.deltaSize, b.deltaSize) == 0;
}

} // namespace

bool ReadSiteList(const std::string& path, UpdateList* list, std::string* error) {
    return ReadUpdateList(path.c_str(), list) ||
           Fail(error, path + " is not an update list (a readable, well-formed document with a "
                              "top-level element \"game\")");
}

std::vector<size_t> AppliedEntries(const UpdateList& list, const char* version) {
    std::vector<size_t> applied;
    std::string reached = version;
    for (size_t i = 0; i < list.size(); ++i) {
        if (!StrEqualNoCase(list[i].forVersion, reached.c_str()))
            continue;
        applied.push_back(i);
        reached = list[i].toVersion;
    }
    return applied;
}

bool StageUpdateEntry(const std::string& path, const UpdateRecord& entry, std::string* staged,
                      std::string* error) {
    std::error_code code;
    const bool exists = std::filesystem::exists(path, code);
    std::string text;
    UpdateList before;
    if (exists && !ReadSiteList(path, &before, error))
        return false;
    if (exists && !ReadFileBytes(path, &text))
        return Fail(error, "cannot read " + path);
    std::string updated;
    if (!exists)
        updated = "<?xml version=\"1.0\"?>\n<game>\n" + EntryXml(entry, "\n") + "</game>\n";
    else if (!InsertEntry(text, entry, &updated))
        return Fail(error, "cannot find the end tag of \"game\" in " + path);

    const std::string newPath = path + ".new";
    *staged = newPath;
    UpdateList after;
    bool same = WriteText(newPath, updated) && ReadUpdateList(newPath.c_str(), &after) &&
                after.size() == before.size() + 1 && SameRecord(after.back(), entry);
    for (size_t i = 0; same && i < before.size(); ++i)
        same = SameRecord(before[i], after[i]);
    if (same)
        return true;
    remove(newPath.c_str());
    return Fail(error, "cannot add the update to " + path +
                           " so that it reads back as written (is the disk full, or does the "
                           "file end in something other than \"</game>\"?)");
}

bool ReadFileBytes(const std::string& path, std::string* bytes, size_t maxBytes) {
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char block[65536];
    size_t count, total = 0;
    while ((count = fread(block, 1, sizeof block, file)) > 0 && (total += count) <= maxBytes)
        bytes->append(block, count);
    const bool read = !ferror(file) && total <= maxBytes;
    fclose(file);
    return read;
}

#include "updater/UpdateDocuments.h"

#include "core/files/FileStream.h"
#include "core/platform/FileReplace.h"
#include "core/strings/BoundedText.h"
#include "core/xml/XmlEscape.h"
#include "core/xml/XmlReader.h"

#include <cstdio>
#include <string>

namespace {
constexpr size_t kPathSize = 2048;
} // namespace

bool ReadUpdateList(const char* path, UpdateList* list) {
    XmlReader* reader = XmlReader::Create();
    if (!reader)
        return false;
    if (!reader->Open(path, "game", __FILE__, __LINE__)) {
        reader->Close();
        return false;
    }
    list->clear();
    // Leaving an entry deletes it, so the next EnterChild finds the one after it.
    while (reader->EnterChild("update")) {
        UpdateRecord record{};
        reader->ReadText("name", record.name);
        reader->ReadText("file", record.file);
        reader->ReadText("for", record.forVersion);
        reader->ReadText("to", record.toVersion);
        reader->ReadText("sha256", record.sha256);
        reader->ReadText("size", record.size);
        reader->ReadText("delta", record.delta);
        reader->ReadText("deltasha256", record.deltaSha256);
        reader->ReadText("deltasize", record.deltaSize);
        list->push_back(record);
        reader->LeaveChild();
    }
    reader->Close();
    return true;
}

bool WriteInstalledUpdates(const char* path, const char* version) {
    // The new document goes beside the old one, so that the rename stays on one volume.
    char newPath[kPathSize];
    if (StrFormat(newPath, sizeof newPath, "%s.new", path) > sizeof newPath)
        return false;
    // The reader keeps no more of a version than this; markup is escaped so that it reads back.
    char shortVersion[UpdateRecord::kVersionSize];
    StrCopy(shortVersion, sizeof shortVersion, version);
    const std::string text = XmlEscaped(shortVersion);

    FileStream* file = FileStream::Create();
    if (!file)
        return false;
    if (!file->Open(newPath, WriteBinary, __FILE__, __LINE__)) {
        file->Close();
        return false;
    }
    FilePrintLine(file, "<?xml version=\"1.0\"?>");
    FilePrintLine(file, "<game>");
    FilePrintLine(file, "   <update>");
    FilePrintLine(file, "      <to>%s</to>", text.c_str());
    FilePrintLine(file, "   </update>");
    FilePrintLine(file, "</game>");
    const bool written = !ferror(file->stream) && PlatformSyncFile(file->stream);
    file->Close();
    if (written && PlatformReplaceFile(newPath, path))
        return true;
    remove(newPath);
    return false;
}

// FileService: packs and registration, mounting, lookup, visiting and access recording.
// Loading files lives in FileServiceLoad.cpp, the index file in FileServiceIndex.cpp.
#include "core/files/FileService.h"

#include "core/files/FileStream.h"
#include "core/files/PackDataFile.h"
#include "core/strings/BoundedText.h"
#include "core/strings/TextCompare.h"

#include <utility>

namespace {
const char* const kKnownTypes[] = {
    "lua", "col",  "mesh", "anim", "emit", "bmtr", "mtr", "dds",  "abc",  "fev", "fsb",
    "phs", "dat",  "xui",  "cc",   "phf",  "pack", "loc", "cash", "demo", "ai",  "save",
    "srt", "bsrt", "csx",  "csb",  "gui",  "gtf",  "smd", "bvs",  "bps",  "exe", "fx"};
} // namespace

FileService::~FileService() {
    for (int32_t i = 0; i < mountedCount; ++i)
        if (slots[i].stream)
            slots[i].stream->Close();
}

bool FileService::Init(const char* indexPath) {
    if (indexPath) {
        if (!LoadIndex(indexPath))
            return false;
    } else {
        AddPack("", "");
    }
    Mount("", true);
    return true;
}

void FileService::Register(const char* directory, const char* fileName) {
    char name[kRegisteredNameSize];
    char extension[kRegisteredExtensionSize];
    if (!SplitFileName(fileName, name, extension))
        return;
    if (StrEqualNoCase(extension, "pack")) {
        if (!FindPack(name))
            AddPack(directory, name);
    } else if (IsKnownType(extension) && !FindFile(name, extension, nullptr)) {
        AddFile("", directory, name, extension, 0, 0);
    }
}

PackRecord* FileService::AddPack(const char* directory, const char* name) {
    auto pack = std::make_unique<PackRecord>();
    pack->name = NameKey::FromName(name);
    if (!StrIsEmpty(directory))
        StrFormat(pack->path, sizeof pack->path, "%s%s.pack", directory, name);
    packs.push_back(std::move(pack));
    return packs.back().get();
}

void FileService::AddFile(const char* packName, const char* directory, const char* name,
                          const char* extension, uint32_t offset, uint32_t size) {
    PackRecord* pack = FindPack(packName);
    if (!pack)
        return;
    PackEntry entry = {};
    entry.name = NameKey::FromName(name);
    entry.offset = offset;
    entry.size = size;
    if (!StrIsEmpty(directory))
        StrFormat(entry.path, sizeof entry.path, "%s%s.%s", directory, name, extension);
    else
        StrFormat(entry.path, sizeof entry.path, "%s.%s", name, extension);
    pack->AddEntry(TypeKey::FromExtension(extension), entry);
}

bool FileService::IsKnownType(const char* extension) {
    for (const char* known : kKnownTypes)
        if (StrEqualNoCase(extension, known))
            return true;
    return false;
}

bool FileService::Mount(const char* packName, bool mount) {
    const NameKey key = NameKey::FromName(packName);
    int32_t mounted = 0;
    while (mounted < mountedCount && slots[mounted].pack->name != key)
        ++mounted;
    if (!mount) {
        if (key.IsEmpty() || mounted == mountedCount)
            return true;
        MountSlot& slot = slots[mounted];
        if (slot.stream)
            slot.stream->Close();
        slot.pack->ReleaseTables();
        for (int32_t i = mounted; i + 1 < mountedCount; ++i)
            slots[i] = slots[i + 1];
        slots[--mountedCount] = MountSlot{};
        return true;
    }
    if (mounted < mountedCount)
        return true;
    PackRecord* pack = FindPack(packName);
    if (!pack)
        return true;
    if (mountedCount == kMaxMounted)
        return false;
    MountSlot& slot = slots[mountedCount];
    slot = MountSlot{pack, nullptr, -1};
    if (!LoadPack(&slot)) {
        slot = MountSlot{};
        return false;
    }
    ++mountedCount;
    return true;
}

bool FileService::LoadPack(MountSlot* slot) {
    PackRecord* pack = slot->pack;
    if (pack->path[0] == '\0' || pack->TypeCount() != 0)
        return true;
    FileStream* stream = FileStream::Create();
    std::vector<PackTypeTable> types;
    int32_t position = -1;
    bool loaded = false;
    if (stream && stream->Open(pack->path, ReadBinary, __FILE__, __LINE__))
        loaded = ReadPackDataTables(stream, pack->path, &types, &position);
    else if (missingPack[0] == '\0')
        StrCopy(missingPack, sizeof missingPack, pack->path);
    if (!loaded) {
        pack->MarkFailed();
        if (stream)
            stream->Close();
        return false;
    }
    pack->SetTables(std::move(types));
    slot->stream = stream;
    slot->lastPosition = position;
    return true;
}

PackRecord* FileService::FindPack(const char* name) {
    const NameKey key = NameKey::FromName(name);
    for (const auto& pack : packs)
        if (pack->name == key)
            return pack.get();
    return nullptr;
}

const PackEntry* FileService::FindFile(const char* name, const char* extension, int32_t* slot) {
    const NameKey nameKey = NameKey::FromName(name);
    const TypeKey typeKey = TypeKey::FromExtension(extension);
    for (int32_t i = 0; i < mountedCount; ++i)
        if (const PackEntry* entry = slots[i].pack->FindEntry(typeKey, nameKey)) {
            if (slot)
                *slot = i;
            return entry;
        }
    return nullptr;
}

const char* FileService::FindFilePath(const char* name, const char* extension) {
    const PackEntry* entry = FindFile(name, extension, nullptr);
    return entry ? entry->path : nullptr;
}

namespace {
bool VisitType(const PackRecord& pack, TypeKey type, const FileVisitor& visitor) {
    const PackTypeTable* table = pack.FindType(type);
    if (!table)
        return true;
    char name[NameKey::kTextSize];
    for (const PackEntry& entry : table->entries) {
        entry.name.CopyText(name);
        if (!visitor(name, entry.path))
            return false;
    }
    return true;
}
} // namespace

bool FileService::ForEachFile(const char* extension, const FileVisitor& visitor) {
    const TypeKey type = TypeKey::FromExtension(extension);
    for (int32_t i = 0; i < mountedCount; ++i)
        if (!VisitType(*slots[i].pack, type, visitor))
            return false;
    return true;
}

bool FileService::ForEachFileInPack(const char* packName, const char* extension,
                                    const FileVisitor& visitor) {
    const NameKey key = NameKey::FromName(packName);
    for (int32_t i = 0; i < mountedCount; ++i)
        if (slots[i].pack->name == key)
            return VisitType(*slots[i].pack, TypeKey::FromExtension(extension), visitor);
    return true;
}

void FileService::StartRecording() {
    accessList.clear();
    accessKeys.clear();
    recording = true;
}

void FileService::StopRecording() {
    recording = false;
}

void FileService::Record(const char* name, const char* extension) {
    if (!recording)
        return;
    AccessRecord record = {};
    StrCopy(record.name, sizeof record.name, name);
    StrCopy(record.extension, sizeof record.extension, extension);
    std::string key = std::string(record.name) + '\0' + record.extension;
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    if (accessKeys.insert(std::move(key)).second)
        accessList.push_back(record);
}

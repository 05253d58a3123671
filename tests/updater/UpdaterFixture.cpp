#include "tests/updater/UpdaterFixture.h"

#include "core/platform/DiskSpace.h"
#include "core/platform/TempFile.h"
#include "core/strings/BoundedText.h"
#include "updater/UpdateDocuments.h"

#include <sodium.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

bool FakeServices::DiskFreeBytes(const char* path, uint64_t* freeBytes) {
    const bool temp = std::find(temps.begin(), temps.end(), path) != temps.end();
    *freeBytes = temp ? tempFree : installFree;
    return *freeBytes != kSystemAnswer || PlatformDiskFreeBytes(path, freeBytes);
}

bool FakeServices::CreateTempFile(char* destination, size_t size) {
    if (!PlatformCreateTempFile(destination, size))
        return false;
    std::error_code error;
    if (int(temps.size()) == fullTemp && fs::remove(destination, error))
        fs::create_symlink("/dev/full", destination, error);
    temps.push_back(destination);
    return true;
}

std::string Sha256Hex(const std::string& bytes) {
    uint8_t hash[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(hash, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    char hex[2 * sizeof hash + 1];
    sodium_bin2hex(hex, sizeof hex, hash, sizeof hash);
    return hex;
}

UpdaterFixture::UpdaterFixture() : install(root / "install") {
    fs::create_directory(install);
    savedDirectory = fs::current_path().string();
    fs::current_path(install);
    updater.services = &services;
    StrCopy(updater.iniPath, sizeof updater.iniPath, (install + "//launcher.ini").c_str());
    StrCopy(updater.launcherMarkerPath, sizeof updater.launcherMarkerPath,
            (install + "//Launcher").c_str());
}

UpdaterFixture::~UpdaterFixture() {
    fs::current_path(savedDirectory);
}

void UpdaterFixture::WriteIni(const std::map<std::string, std::string>& keys) {
    std::string text = "[Config]\r\n";
    for (const auto& key : keys)
        text += key.first + "=" + key.second + "\r\n";
    WriteWholeFile(Installed("launcher.ini"), text);
}

std::string UpdaterFixture::ListXml(const std::vector<ListEntry>& entries) {
    std::string xml = "<?xml version=\"1.0\"?>\n<game>\n";
    for (const ListEntry& entry : entries)
        xml += "  <update>" +
               (entry.forVersion == "-" ? "" : "<for>" + entry.forVersion + "</for>") + "<to>" +
               entry.toVersion + "</to><file>" + entry.file + "</file>" + entry.extra +
               "</update>\n";
    return xml + "</game>\n";
}

std::string UpdaterFixture::RunUpdate() {
    services.boxes.clear();
    updater.Start(ThreadWorker::PriorityNormal);
    updater.Stop();
    return services.boxes;
}

std::string UpdaterFixture::InstalledVersion() const {
    UpdateList list;
    const bool read = ReadUpdateList(Installed(Updater::kInstalledUpdates).c_str(), &list);
    return read && !list.empty() ? list.back().toVersion : "";
}

std::vector<std::string> UpdaterFixture::InstalledNames() const {
    std::vector<std::string> names;
    for (const auto& item : fs::recursive_directory_iterator(install)) {
        const std::string name = item.path().lexically_relative(install).generic_string();
        if (name != "launcher.ini" && name != Updater::kInstalledUpdates)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void UpdaterFixture::ClearInstallation() {
    std::vector<fs::path> items;
    for (const auto& item : fs::directory_iterator(install))
        if (item.path().filename() != "launcher.ini")
            items.push_back(item.path());
    for (const fs::path& item : items)
        fs::remove_all(item);
}

void UpdaterFixture::ExpectTempFilesRemoved() const {
    EXPECT_FALSE(services.temps.empty());
    for (const std::string& path : services.temps)
        EXPECT_FALSE(fs::exists(path)) << path;
}

// A real installation directory, a real HTTP server on 127.0.0.1 and an Updater whose boxes,
// rights, disk space and temporary files the test controls.
#pragma once

#include "tests/support/HttpServer.h"
#include "tests/support/TempDir.h"
#include "updater/Updater.h"
#include "updater/UpdaterServices.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

class FakeServices : public UpdaterServices {
public:
    static constexpr uint64_t kSystemAnswer = UINT64_MAX;

    void ShowMessage(void*, const char* text, const char* caption) override {
        boxes += std::string(caption) + ": " + text + ";";
    }
    bool IsUserAdmin() override { return admin; }
    bool DiskFreeBytes(const char* path, uint64_t* freeBytes) override;
    bool CreateTempFile(char* destination, size_t size) override;

    bool admin = true;
    uint64_t tempFree = kSystemAnswer;    // free bytes beside the temporary files
    uint64_t installFree = kSystemAnswer; // and beside the installation
    int fullTemp = -1;              // the temporary file, counted from 0, that lies on a full disk
    std::string boxes;              // "caption: text;" for every box shown
    std::vector<std::string> temps; // every temporary file handed out
};

// The SHA-256 of bytes in hex, as update lists give it.
std::string Sha256Hex(const std::string& bytes);

struct ListEntry {
    std::string forVersion; // "-" leaves the element out
    std::string toVersion;
    std::string file;
    std::string extra = ""; // more elements of the entry
};

class UpdaterFixture : public ::testing::Test {
protected:
    UpdaterFixture();
    ~UpdaterFixture() override;

    void WriteIni(const std::map<std::string, std::string>& keys); // into [Config]
    static std::string ListXml(const std::vector<ListEntry>& entries);
    std::string RunUpdate();              // to its end; the boxes shown
    std::string InstalledVersion() const; // what "installed_updates" records; "" for none
    std::vector<std::string> InstalledNames() const; // but launcher.ini and installed_updates
    void ClearInstallation();                        // all but launcher.ini
    void ExpectTempFilesRemoved() const;
    std::string Installed(const std::string& name) const { return install + "/" + name; }

    TempDir root;        // holds the installation and nothing else
    std::string install; // the current directory during the test
    TestHttpServer server;
    FakeServices services;
    Updater updater;

private:
    std::string savedDirectory;
};

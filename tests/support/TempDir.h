// A fresh directory under the system's temporary directory for one test, removed with
// everything in it when the object goes away.
#pragma once

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path; }
    // Path of name inside the directory.
    std::string operator/(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

// Whole-file helpers for checking what the code under test wrote.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

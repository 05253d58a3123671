#include "tools/release/ReleaseNames.h"

#include "core/strings/TextCompare.h"
#include "updater/EntryPath.h"
#include "updater/UpdateRecord.h"

#include <cstring>

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// Windows opens these devices whatever the extension: "nul.txt" is the null device.
bool NamesDevice(const std::string& component) {
    const std::string stem = component.substr(0, component.find('.'));
    for (const char* device : {"CON", "PRN", "AUX", "NUL"})
        if (StrEqualNoCase(stem.c_str(), device))
            return true;
    return stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9' &&
           (StrPrefixEqualNoCase(stem.c_str(), "COM", 3) ||
            StrPrefixEqualNoCase(stem.c_str(), "LPT", 3));
}

const char* ComponentProblem(const std::string& component) {
    if (component.empty())
        return nullptr;
    if (component.back() == '.' || component.back() == ' ')
        return "a component ends in a dot or a blank, which Windows drops";
    if (NamesDevice(component))
        return "a component names a Windows device (CON, NUL, COM1, ...)";
    return nullptr;
}

} // namespace

const char* EntryNameProblem(const std::string& name) {
    if (name.empty())
        return "the name is empty";
    if (name.size() >= kEntryNameSize)
        return "the name is longer than the 259 characters the launcher reads";
    if (name.find('\0') != std::string::npos || !IsSafeEntryName(name.c_str()))
        return "the name could reach outside the installation (a \"..\" component or a ':')";
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F)
            return "the name is not plain ASCII, and the launcher writes names in the Windows "
                   "code page";
        if (strchr("<>\"|?*", c))
            return "the name holds a character Windows does not allow (< > \" | ? *)";
    }
    size_t start = 0;
    for (size_t i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !IsSeparator(name[i]))
            continue;
        if (const char* problem = ComponentProblem(name.substr(start, i - start)))
            return problem;
        start = i + 1;
    }
    return nullptr;
}

const char* VersionProblem(const std::string& version) {
    if (version.empty())
        return "the version is empty";
    if (version.size() >= size_t(UpdateRecord::kVersionSize))
        return "the version is longer than the launcher's 31 characters";
    for (const char c : version)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return "the version holds a control character";
    if (version.front() == ' ' || version.back() == ' ' || version.find("  ") != std::string::npos)
        return "the version has blanks at its ends or two in a row, which the list does not keep";
    return nullptr;
}

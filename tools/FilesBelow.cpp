#include "tools/PackCommands.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool ListFilesBelow(const std::string& dir, std::vector<std::string>* files, std::string* error) {
    std::error_code code;
    if (!fs::is_directory(dir, code)) {
        *error = dir + " is not a directory";
        return false;
    }
    fs::recursive_directory_iterator walk(dir, code), end;
    for (; !code && walk != end; walk.increment(code))
        if (walk->is_regular_file(code))
            files->push_back(walk->path().lexically_relative(dir).generic_string());
    if (code) {
        *error = dir + ": " + code.message();
        return false;
    }
    std::sort(files->begin(), files->end());
    return true;
}

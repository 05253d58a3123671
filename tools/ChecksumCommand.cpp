// checksum FILE...: each file's checksum as 8 upper-case hex digits, then its path.
#include "tools/PackCommands.h"

#include "core/files/FileChecksum.h"
#include "core/files/FileService.h"
#include "core/files/FileStream.h"

#include <filesystem>

int ChecksumCommand(const ToolArgs& args, const ToolIo& io) {
    int result = 0;
    for (const std::string& path : args) {
        // A file that cannot be opened still has a checksum value; say so instead.
        std::error_code code;
        FileStream* probe =
            std::filesystem::is_regular_file(path, code)
                ? FileService::OpenPlainFile(path.c_str(), ReadBinary, __FILE__, __LINE__)
                : nullptr;
        if (!probe) {
            result = io.Fail("cannot open %s", path.c_str());
            continue;
        }
        probe->Close();
        fprintf(io.out, "%08X %s\n", unsigned(FileChecksum(path.c_str())), path.c_str());
    }
    return result;
}

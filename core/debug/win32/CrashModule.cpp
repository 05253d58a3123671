#include "core/debug/win32/CrashState.h"

#include <cstddef>

bool CrashReadMemory(ULONG_PTR address, void* buffer, size_t size) {
    SIZE_T read = 0;
    return ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<const void*>(address), buffer,
                             size, &read) &&
           read == size;
}

namespace {

bool FindModule(ULONG_PTR address, CrashModule* module) {
    MEMORY_BASIC_INFORMATION memory;
    if (!VirtualQuery(reinterpret_cast<const void*>(address), &memory, sizeof memory) ||
        !memory.AllocationBase)
        return false;
    const ULONG_PTR base = reinterpret_cast<ULONG_PTR>(memory.AllocationBase);
    const DWORD length =
        GetModuleFileNameA(static_cast<HMODULE>(memory.AllocationBase), module->fileName, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS headers;
    if (!CrashReadMemory(base, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE ||
        !CrashReadMemory(base + dos.e_lfanew, &headers, sizeof headers) ||
        headers.Signature != IMAGE_NT_SIGNATURE)
        return false;
    const ULONG_PTR sections = base + dos.e_lfanew + offsetof(IMAGE_NT_HEADERS, OptionalHeader) +
                               headers.FileHeader.SizeOfOptionalHeader;
    const ULONG_PTR relative = address - base;
    for (unsigned i = 0; i < headers.FileHeader.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section;
        if (!CrashReadMemory(sections + i * sizeof section, &section, sizeof section))
            return false;
        const DWORD size = section.Misc.VirtualSize > section.SizeOfRawData
                               ? section.Misc.VirtualSize
                               : section.SizeOfRawData;
        if (relative >= section.VirtualAddress && relative <= section.VirtualAddress + size) {
            module->base = base;
            module->section = i + 1;
            module->offset = DWORD(relative - section.VirtualAddress);
            return true;
        }
    }
    return false;
}

} // namespace

bool CrashFindModule(ULONG_PTR address, CrashModule* module) {
    if (FindModule(address, module))
        return true;
    *module = CrashModule();
    return false;
}

#include "core/debug/CrashText.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

struct ExceptionName {
    uint32_t code;
    const char* name;
};

const ExceptionName kExceptionNames[] = {
    {0x80000001, "GUARD_PAGE"},
    {0x80000002, "DATATYPE_MISALIGNMENT"},
    {0x80000003, "BREAKPOINT"},
    {0x80000004, "SINGLE_STEP"},
    {0xC0000005, "ACCESS_VIOLATION"},
    {0xC0000006, "IN_PAGE_ERROR"},
    {0xC0000008, "INVALID_HANDLE"},
    {0xC000001D, "ILLEGAL_INSTRUCTION"},
    {0xC0000025, "NONCONTINUABLE_EXCEPTION"},
    {0xC0000026, "INVALID_DISPOSITION"},
    {0xC000008C, "ARRAY_BOUNDS_EXCEEDED"},
    {0xC000008D, "FLT_DENORMAL_OPERAND"},
    {0xC000008E, "FLT_DIVIDE_BY_ZERO"},
    {0xC000008F, "FLT_INEXACT_RESULT"},
    {0xC0000090, "FLT_INVALID_OPERATION"},
    {0xC0000091, "FLT_OVERFLOW"},
    {0xC0000092, "FLT_STACK_CHECK"},
    {0xC0000093, "FLT_UNDERFLOW"},
    {0xC0000094, "INT_DIVIDE_BY_ZERO"},
    {0xC0000095, "INT_OVERFLOW"},
    {0xC0000096, "PRIV_INSTRUCTION"},
    {0xC00000FD, "STACK_OVERFLOW"},
};

} // namespace

void CrashPrint(const char* format, ...) {
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    const int length = vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (length > 0)
        CrashReportWrite(text, size_t(length) < sizeof text ? size_t(length) : sizeof text - 1);
}

bool CrashIsPlainName(const char* name) {
    return name && name[0] && !strpbrk(name, "/\\:");
}

const char* CrashExceptionName(uint32_t code) {
    for (const ExceptionName& entry : kExceptionNames)
        if (entry.code == code)
            return entry.name;
    return nullptr;
}

void CrashPrintOpening(const char* symbolPath, uint32_t code, const char* name, uint64_t address,
                       unsigned section, uint64_t offset, const char* module) {
    CrashPrint("//PDB : ======== %s ===================\r\n", symbolPath);
    CrashPrint("Exception code: %08X %s\r\n", unsigned(code), name);
    CrashPrint("Fault address:  %08llX %02X:%08llX %s\r\n", (unsigned long long)address, section,
               (unsigned long long)offset, module);
}

void CrashPrintRegisters64(const CrashRegisters64& r) {
    const struct {
        const char* name;
        uint64_t value;
    } kRows[] = {{"RAX", r.rax}, {"RBX", r.rbx}, {"RCX", r.rcx}, {"RDX", r.rdx}, {"RSI", r.rsi},
                 {"RDI", r.rdi}, {"R8", r.r8},   {"R9", r.r9},   {"R10", r.r10}, {"R11", r.r11},
                 {"R12", r.r12}, {"R13", r.r13}, {"R14", r.r14}, {"R15", r.r15}, {"RIP", r.rip}};
    CrashPrint("\r\nRegisters:\r\n");
    for (const auto& row : kRows)
        CrashPrint("%s:%016llX\r\n", row.name, (unsigned long long)row.value);
    CrashPrint("RSP:%016llX  RBP:%016llX\r\n", (unsigned long long)r.rsp,
               (unsigned long long)r.rbp);
    CrashPrint("Flags:%08llX\r\n", (unsigned long long)r.flags);
}

void CrashPrintStackHead() {
    CrashPrint("\r\nCall stack:\r\n");
    CrashPrint("Address   Frame     Function            SourceFile\r\n");
}

void CrashPrintFrameStart(uint64_t programCounter, uint64_t framePointer) {
    CrashPrint("%08llX  %08llX  ", (unsigned long long)programCounter,
               (unsigned long long)framePointer);
}

void CrashPrintFrameModule(unsigned section, uint64_t offset, const char* module) {
    CrashPrint("%04X:%08llX %s", section, (unsigned long long)offset, module);
}

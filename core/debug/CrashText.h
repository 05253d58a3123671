// The parts of a crash report every target writes the same way.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes text to the open report; each target's reporter defines it.
void CrashReportWrite(const char* text, size_t length);

// Formats one piece of the report into a 1024-byte buffer (longer text is cut at 1023
// characters) and writes it.
void CrashPrint(const char* format, ...);

// True when name can stand for files in the working directory: not empty, without path
// separators or a drive colon. Other names leave the default file names in place.
bool CrashIsPlainName(const char* name);

// The name of a system exception code ("ACCESS_VIOLATION"), or null for a code without one.
const char* CrashExceptionName(uint32_t code);

// The opening lines: the symbol path, the exception and where it happened (section and offset
// inside the module that holds the address; 0, 0 and an empty name when none does).
void CrashPrintOpening(const char* symbolPath, uint32_t code, const char* name, uint64_t address,
                       unsigned section, uint64_t offset, const char* module);

// The x86-64 registers of the faulting thread, which every 64-bit report prints alike.
struct CrashRegisters64 {
    uint64_t rax, rbx, rcx, rdx, rsi, rdi, r8, r9, r10, r11, r12, r13, r14, r15, rip;
    uint64_t rsp, rbp, flags;
};
void CrashPrintRegisters64(const CrashRegisters64& registers);

// The call stack's heading, and each frame's address columns.
void CrashPrintStackHead();
void CrashPrintFrameStart(uint64_t programCounter, uint64_t framePointer);
// A frame without a symbol: section and offset within its module.
void CrashPrintFrameModule(unsigned section, uint64_t offset, const char* module);

// Exception codes the Linux report maps fatal signals onto.
enum : uint32_t {
    kCrashMisalignment = 0x80000002,
    kCrashBreakpoint = 0x80000003,
    kCrashSingleStep = 0x80000004,
    kCrashAccessViolation = 0xC0000005,
    kCrashInPageError = 0xC0000006,
    kCrashIllegalInstruction = 0xC000001D,
    kCrashArrayBounds = 0xC000008C,
    kCrashFltDivideByZero = 0xC000008E,
    kCrashFltInexact = 0xC000008F,
    kCrashFltInvalid = 0xC0000090,
    kCrashFltOverflow = 0xC0000091,
    kCrashFltUnderflow = 0xC0000093,
    kCrashIntDivideByZero = 0xC0000094,
    kCrashIntOverflow = 0xC0000095,
    kCrashPrivInstruction = 0xC0000096,
    kCrashStackOverflow = 0xC00000FD,
};

// The parts of a crash report every target writes the same way.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes text to the open report; each target's reporter defines it.
void CrashReportWrite(const char* text, size_t length);

// Formats one piece of the report into a 1024-byte buffer (longer text is cut at 1023
// characters) and writes it.
void CrashPrint(const char* format, ...);

// The name of a system exception code ("ACCESS_VIOLATION"), or null for a code without one.
const char* CrashExceptionName(uint32_t code);

// The opening lines: the symbol path, the exception and where it happened (section and offset
// inside the module that holds the address; 0, 0 and an empty name when none does).
void CrashPrintOpening(const char* symbolPath, uint32_t code, const char* name, uint64_t address,
                       unsigned section, uint64_t offset, const char* module);

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

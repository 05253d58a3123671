// The reporter's process-wide state and the pieces of its Windows report.
#pragma once

#include <windows.h>

#include <dbghelp.h>

struct CrashState {
    char dumpPath[MAX_PATH];
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter;
    char reportPath[MAX_PATH];
    HANDLE process;
    // The working directory and a backslash: the symbol search path.
    char symbolPath[MAX_PATH];
    HANDLE reportFile;
    char exceptionText[512];
};

extern CrashState crashState;

// The module that holds an address, by the section table of its image.
struct CrashModule {
    ULONG_PTR base;
    unsigned section;
    DWORD offset;
    char fileName[MAX_PATH];
};

// Fills module and returns true when address lies in a section of a loaded image.
bool CrashFindModule(ULONG_PTR address, CrashModule* module);

// Copies size bytes from this process's memory; false instead of a fault when any is unreadable.
bool CrashReadMemory(ULONG_PTR address, void* buffer, size_t size);

// Writes the minidump of the exception raised on thread threadId to dumpPath.
void CrashWriteDump(EXCEPTION_POINTERS* pointers, DWORD threadId);

// Writes the text report through reportFile.
void CrashWriteReport(EXCEPTION_POINTERS* pointers, HANDLE thread);

// What differs between the processors: the registers, the walk of the call stack and where a
// frame's variables lie.
//
// One frame of a call stack: the instruction it executes, its stack and frame pointers (on
// x86-64, where code keeps no frame pointer, the stack pointer of its caller stands for it) and
// its registers as far as the walk restores them.
struct CrashFrame {
    DWORD64 programCounter;
    DWORD64 stackPointer;
    DWORD64 framePointer;
    CONTEXT context;
};

// Prints the faulting thread's registers.
void CrashPrintRegisters(const CONTEXT& context);

// Walks the call stack of thread from context, the faulting one first, calling visit for each
// frame until it returns false or the walk ends.
void CrashWalkStack(const CONTEXT& context, HANDLE thread,
                    bool (*visit)(const CrashFrame& frame, void* data), void* data);

// The value of register (the debug-help library's number for it) in frame; false for a
// register the walk does not know there.
bool CrashRegisterValue(const CrashFrame& frame, ULONG reg, DWORD64* value);

// SymEnumSymbols callback: one line per variable; frame is the CrashFrame of a call-stack
// frame, or null for the global listing.
BOOL CALLBACK CrashSymbolCallback(PSYMBOL_INFO symbol, ULONG size, PVOID frame);

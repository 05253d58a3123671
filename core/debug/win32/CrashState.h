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

// SymEnumSymbols callback: one line per variable; frame is the STACKFRAME of a call-stack
// frame, or null for the global listing.
BOOL CALLBACK CrashSymbolCallback(PSYMBOL_INFO symbol, ULONG size, PVOID frame);

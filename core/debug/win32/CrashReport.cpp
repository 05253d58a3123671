#include "core/debug/CrashText.h"
#include "core/debug/win32/CrashState.h"

namespace {

// The name of an exception code: the table's, else the system's own text for it.
const char* ExceptionName(DWORD code) {
    if (const char* name = CrashExceptionName(code))
        return name;
    char* text = crashState.exceptionText;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  GetModuleHandleA("NTDLL.DLL"), code, 0, text,
                                  sizeof crashState.exceptionText, nullptr);
    // The system's texts end in a line break; the report line has its own.
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n'))
        --length;
    text[length] = '\0';
    return text;
}

void PrintFunction(DWORD64 address) {
    union {
        SYMBOL_INFO info;
        char bytes[sizeof(SYMBOL_INFO) + 1024];
    } symbol = {};
    symbol.info.SizeOfStruct = sizeof(SYMBOL_INFO);
    symbol.info.MaxNameLen = 1024;
    DWORD64 displacement = 0;
    if (SymFromAddr(crashState.process, address, &displacement, &symbol.info)) {
        CrashPrint("%s+%llX", symbol.info.Name, (unsigned long long)displacement);
    } else {
        CrashModule module = {};
        CrashFindModule(ULONG_PTR(address), &module);
        CrashPrintFrameModule(module.section, module.offset, module.fileName);
    }
    IMAGEHLP_LINE line = {};
    line.SizeOfStruct = sizeof line;
    DWORD lineDisplacement = 0;
    if (SymGetLineFromAddr(crashState.process, address, &lineDisplacement, &line))
        CrashPrint("  %s line %u", line.FileName, unsigned(line.LineNumber));
    CrashPrint("\r\n");
}

struct StackListing {
    bool withVariables;
};

bool PrintFrame(const CrashFrame& frame, void* data) {
    CrashPrintFrameStart(frame.programCounter, frame.framePointer);
    PrintFunction(frame.programCounter);
    if (static_cast<const StackListing*>(data)->withVariables) {
        IMAGEHLP_STACK_FRAME symbolFrame = {};
        symbolFrame.InstructionOffset = frame.programCounter;
        SymSetContext(crashState.process, &symbolFrame, nullptr);
        SymEnumSymbols(crashState.process, 0, nullptr, CrashSymbolCallback,
                       const_cast<CrashFrame*>(&frame));
        CrashPrint("\r\n");
    }
    return true;
}

void PrintCallStack(const CONTEXT& context, HANDLE thread, bool withVariables) {
    CrashPrintStackHead();
    StackListing listing = {withVariables};
    CrashWalkStack(context, thread, PrintFrame, &listing);
}

} // namespace

void CrashReportWrite(const char* text, size_t length) {
    DWORD written = 0;
    if (crashState.reportFile)
        WriteFile(crashState.reportFile, text, DWORD(length), &written, nullptr);
}

void CrashWriteReport(EXCEPTION_POINTERS* pointers, HANDLE thread) {
    const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
    const CONTEXT& context = *pointers->ContextRecord;
    const ULONG_PTR address = reinterpret_cast<ULONG_PTR>(record.ExceptionAddress);
    CrashModule module = {};
    const bool inModule = CrashFindModule(address, &module);
    CrashPrintOpening(crashState.symbolPath, record.ExceptionCode,
                      ExceptionName(record.ExceptionCode), address, module.section, module.offset,
                      module.fileName);
    CrashPrintRegisters(context);

    // Without SYMOPT_LOAD_LINES the library knows no source lines.
    SymSetOptions(SYMOPT_DEFERRED_LOADS | SYMOPT_LOAD_LINES);
    if (!SymInitialize(crashState.process, crashState.symbolPath, TRUE))
        return;
    PrintCallStack(context, thread, false);
    CrashPrint("========================\r\n");
    CrashPrint("Local Variables And Parameters\r\n");
    PrintCallStack(context, thread, true);
    CrashPrint("========================\r\n");
    CrashPrint("Global Variables\r\n");
    if (inModule)
        SymEnumSymbols(crashState.process, module.base, nullptr, CrashSymbolCallback, nullptr);
    SymCleanup(crashState.process);
    CrashPrint("\r\n");
}

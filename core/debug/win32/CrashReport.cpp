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

void PrintRegisters(const CONTEXT& context) {
    CrashPrint("\r\nRegisters:\r\n");
    CrashPrint("EAX:%08X\r\nEBX:%08X\r\nECX:%08X\r\nEDX:%08X\r\nESI:%08X\r\nEDI:%08X\r\n",
               unsigned(context.Eax), unsigned(context.Ebx), unsigned(context.Ecx),
               unsigned(context.Edx), unsigned(context.Esi), unsigned(context.Edi));
    CrashPrint("CS:EIP:%04X:%08X\r\n", unsigned(context.SegCs), unsigned(context.Eip));
    CrashPrint("SS:ESP:%04X:%08X  EBP:%08X\r\n", unsigned(context.SegSs), unsigned(context.Esp),
               unsigned(context.Ebp));
    CrashPrint("DS:%04X  ES:%04X  FS:%04X  GS:%04X\r\n", unsigned(context.SegDs),
               unsigned(context.SegEs), unsigned(context.SegFs), unsigned(context.SegGs));
    CrashPrint("Flags:%08X\r\n", unsigned(context.EFlags));
}

void PrintFunction(DWORD address) {
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
        CrashFindModule(address, &module);
        CrashPrintFrameModule(module.section, module.offset, module.fileName);
    }
    IMAGEHLP_LINE line = {};
    line.SizeOfStruct = sizeof line;
    DWORD lineDisplacement = 0;
    if (SymGetLineFromAddr(crashState.process, address, &lineDisplacement, &line))
        CrashPrint("  %s line %u", line.FileName, unsigned(line.LineNumber));
    CrashPrint("\r\n");
}

// Walks the stack from context (which the walk changes). Each caller's frame lies above its
// callee's, so a walk whose stack pointer stops rising has gone round in a loop.
void PrintCallStack(CONTEXT context, HANDLE thread, bool withVariables) {
    CrashPrintStackHead();
    STACKFRAME frame = {};
    frame.AddrPC.Offset = context.Eip;
    frame.AddrPC.Mode = AddrModeFlat;
    frame.AddrStack.Offset = context.Esp;
    frame.AddrStack.Mode = AddrModeFlat;
    frame.AddrFrame.Offset = context.Ebp;
    frame.AddrFrame.Mode = AddrModeFlat;
    DWORD previousStack = 0;
    bool first = true;
    while (StackWalk(IMAGE_FILE_MACHINE_I386, crashState.process, thread, &frame, &context, nullptr,
                     SymFunctionTableAccess, SymGetModuleBase, nullptr)) {
        if (frame.AddrFrame.Offset == 0 || (!first && frame.AddrStack.Offset <= previousStack))
            break;
        first = false;
        previousStack = frame.AddrStack.Offset;
        CrashPrintFrameStart(frame.AddrPC.Offset, frame.AddrFrame.Offset);
        PrintFunction(frame.AddrPC.Offset);
        if (withVariables) {
            IMAGEHLP_STACK_FRAME symbolFrame = {};
            symbolFrame.InstructionOffset = frame.AddrPC.Offset;
            SymSetContext(crashState.process, &symbolFrame, nullptr);
            SymEnumSymbols(crashState.process, 0, nullptr, CrashSymbolCallback, &frame);
            CrashPrint("\r\n");
        }
    }
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
    PrintRegisters(context);

    SymSetOptions(SYMOPT_DEFERRED_LOADS);
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

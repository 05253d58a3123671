#include "core/debug/CrashText.h"
#include "core/debug/win32/CrashState.h"

#if defined(__x86_64__)

namespace {

// The debug-help library's numbers of the first and last x86-64 general registers.
enum : ULONG { kRegisterRax = 328, kRegisterR15 = 343 };

} // namespace

void CrashPrintRegisters(const CONTEXT& c) {
    CrashPrintRegisters64({c.Rax, c.Rbx, c.Rcx, c.Rdx, c.Rsi, c.Rdi, c.R8, c.R9, c.R10, c.R11,
                           c.R12, c.R13, c.R14, c.R15, c.Rip, c.Rsp, c.Rbp, c.EFlags});
}

// x86-64 code keeps no frame pointers: each frame is unwound with the unwind data its module
// carries for every function that calls. A function without them is a leaf, which has left its
// return address on top of the stack. Each caller's frame lies above its callee's, so a walk
// whose stack pointer stops rising has gone round in a loop.
void CrashWalkStack(const CONTEXT& context, HANDLE, bool (*visit)(const CrashFrame&, void*),
                    void* data) {
    CrashFrame frame = {};
    frame.context = context;
    while (frame.context.Rip != 0) {
        CONTEXT caller = frame.context;
        DWORD64 imageBase = 0;
        PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(caller.Rip, &imageBase, nullptr);
        if (function) {
            PVOID handlerData = nullptr;
            DWORD64 establisher = 0;
            RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, caller.Rip, function, &caller,
                             &handlerData, &establisher, nullptr);
        } else {
            if (!CrashReadMemory(ULONG_PTR(caller.Rsp), &caller.Rip, sizeof caller.Rip))
                caller.Rip = 0;
            caller.Rsp += sizeof caller.Rip;
        }
        frame.programCounter = frame.context.Rip;
        frame.stackPointer = frame.context.Rsp;
        frame.framePointer = caller.Rsp;
        if (!visit(frame, data) || caller.Rsp <= frame.context.Rsp)
            return;
        frame.context = caller;
    }
}

bool CrashRegisterValue(const CrashFrame& frame, ULONG reg, DWORD64* value) {
    if (reg < kRegisterRax || reg > kRegisterR15)
        return false;
    // The library counts RAX, RBX, RCX, RDX, RSI, RDI, RBP, RSP, then R8 to R15.
    const DWORD64 kInLibraryOrder[] = {
        frame.context.Rax, frame.context.Rbx, frame.context.Rcx, frame.context.Rdx,
        frame.context.Rsi, frame.context.Rdi, frame.context.Rbp, frame.context.Rsp,
        frame.context.R8,  frame.context.R9,  frame.context.R10, frame.context.R11,
        frame.context.R12, frame.context.R13, frame.context.R14, frame.context.R15};
    *value = kInLibraryOrder[reg - kRegisterRax];
    return true;
}

#else

namespace {

// The debug-help library's numbers of ESP and EBP.
enum : ULONG { kRegisterEsp = 21 };

} // namespace

void CrashPrintRegisters(const CONTEXT& context) {
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

// The library's walk follows the frame pointers of x86 code; it ends at a frame pointer of 0.
// Each caller's frame lies above its callee's, so a walk whose stack pointer stops rising has
// gone round in a loop.
void CrashWalkStack(const CONTEXT& context, HANDLE thread, bool (*visit)(const CrashFrame&, void*),
                    void* data) {
    CrashFrame frame = {};
    frame.context = context;
    STACKFRAME walk = {};
    walk.AddrPC.Offset = context.Eip;
    walk.AddrPC.Mode = AddrModeFlat;
    walk.AddrStack.Offset = context.Esp;
    walk.AddrStack.Mode = AddrModeFlat;
    walk.AddrFrame.Offset = context.Ebp;
    walk.AddrFrame.Mode = AddrModeFlat;
    DWORD64 previousStack = 0;
    bool first = true;
    while (StackWalk(IMAGE_FILE_MACHINE_I386, crashState.process, thread, &walk, &frame.context,
                     nullptr, SymFunctionTableAccess, SymGetModuleBase, nullptr)) {
        if (walk.AddrFrame.Offset == 0 || (!first && walk.AddrStack.Offset <= previousStack))
            return;
        first = false;
        previousStack = walk.AddrStack.Offset;
        frame.programCounter = walk.AddrPC.Offset;
        frame.stackPointer = walk.AddrStack.Offset;
        frame.framePointer = walk.AddrFrame.Offset;
        if (!visit(frame, data))
            return;
    }
}

// Code without frame pointers places its variables relative to the stack pointer; everything
// else is relative to the frame pointer.
bool CrashRegisterValue(const CrashFrame& frame, ULONG reg, DWORD64* value) {
    *value = reg == kRegisterEsp ? frame.stackPointer : frame.framePointer;
    return true;
}

#endif

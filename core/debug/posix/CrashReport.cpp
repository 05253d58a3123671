#include "core/debug/CrashText.h"
#include "core/debug/posix/CrashState.h"

#include <dlfcn.h>
#include <link.h>
#include <string.h>
#include <unistd.h>
#include <unwind.h>

#include <cstdint>

namespace {

// A fault this close to the stack pointer hit the end of the stack.
const uintptr_t kStackReach = 64 * 1024;

// The exception code a fault stands for; 0 for signals that were sent rather than caused,
// which the report names by their own description.
uint32_t FaultCode(int signal, const siginfo_t& info, uintptr_t stackPointer) {
    if (info.si_code <= 0)
        return 0;
    const uintptr_t address = reinterpret_cast<uintptr_t>(info.si_addr);
    switch (signal) {
    case SIGSEGV:
        return address + kStackReach > stackPointer && address < stackPointer + kStackReach
                   ? kCrashStackOverflow
                   : kCrashAccessViolation;
    case SIGBUS:
        return info.si_code == BUS_ADRALN ? kCrashMisalignment : kCrashInPageError;
    case SIGILL:
        return info.si_code == ILL_PRVOPC ? kCrashPrivInstruction : kCrashIllegalInstruction;
    case SIGTRAP:
        return info.si_code == TRAP_TRACE ? kCrashSingleStep : kCrashBreakpoint;
    case SIGFPE:
        switch (info.si_code) {
        case FPE_INTDIV:
            return kCrashIntDivideByZero;
        case FPE_INTOVF:
            return kCrashIntOverflow;
        case FPE_FLTDIV:
            return kCrashFltDivideByZero;
        case FPE_FLTOVF:
            return kCrashFltOverflow;
        case FPE_FLTUND:
            return kCrashFltUnderflow;
        case FPE_FLTRES:
            return kCrashFltInexact;
        case FPE_FLTSUB:
            return kCrashArrayBounds;
        default:
            return kCrashFltInvalid;
        }
    }
    return 0;
}

struct Module {
    uintptr_t address;
    unsigned section;
    uintptr_t offset;
    const char* name;
};

// The loadable segment (counted from 1) that holds the address stands for the section.
int FindSegment(dl_phdr_info* object, size_t, void* data) {
    Module* module = static_cast<Module*>(data);
    unsigned segment = 0;
    for (unsigned i = 0; i < object->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = object->dlpi_phdr[i];
        if (header.p_type != PT_LOAD)
            continue;
        ++segment;
        const uintptr_t start = object->dlpi_addr + header.p_vaddr;
        if (module->address >= start && module->address - start < header.p_memsz) {
            module->section = segment;
            module->offset = module->address - start;
            module->name = object->dlpi_name[0] ? object->dlpi_name : crashState.programPath;
            return 1;
        }
    }
    return 0;
}

Module FindModule(uintptr_t address) {
    Module module = {address, 0, 0, ""};
    dl_iterate_phdr(FindSegment, &module);
    return module;
}

#if !defined(__x86_64__)
#error "the Linux crash report knows the registers of x86-64 only"
#endif

void PrintRegisters(const mcontext_t& machine) {
    const greg_t* g = machine.gregs;
    CrashRegisters64 registers = {};
    registers.rax = uint64_t(g[REG_RAX]);
    registers.rbx = uint64_t(g[REG_RBX]);
    registers.rcx = uint64_t(g[REG_RCX]);
    registers.rdx = uint64_t(g[REG_RDX]);
    registers.rsi = uint64_t(g[REG_RSI]);
    registers.rdi = uint64_t(g[REG_RDI]);
    registers.r8 = uint64_t(g[REG_R8]);
    registers.r9 = uint64_t(g[REG_R9]);
    registers.r10 = uint64_t(g[REG_R10]);
    registers.r11 = uint64_t(g[REG_R11]);
    registers.r12 = uint64_t(g[REG_R12]);
    registers.r13 = uint64_t(g[REG_R13]);
    registers.r14 = uint64_t(g[REG_R14]);
    registers.r15 = uint64_t(g[REG_R15]);
    registers.rip = uint64_t(g[REG_RIP]);
    registers.rsp = uint64_t(g[REG_RSP]);
    registers.rbp = uint64_t(g[REG_RBP]);
    registers.flags = uint64_t(g[REG_EFL]);
    CrashPrintRegisters64(registers);
}

void PrintFrame(uintptr_t programCounter, uintptr_t frame, uintptr_t lookup) {
    CrashPrintFrameStart(programCounter, frame);
    Dl_info symbol;
    if (dladdr(reinterpret_cast<void*>(lookup), &symbol) && symbol.dli_sname) {
        CrashPrint("%s+%llX", symbol.dli_sname,
                   (unsigned long long)(programCounter - uintptr_t(symbol.dli_saddr)));
    } else {
        const Module module = FindModule(lookup);
        CrashPrintFrameModule(module.section, module.offset, module.name);
    }
    CrashPrint("\r\n");
}

// The unwinder starts inside the handler; frames are printed from the faulting one on. Each
// caller's frame lies above its callee's, so a walk that stops rising has gone round a loop.
struct Walk {
    uintptr_t faultAddress;
    bool started;
    uintptr_t previousFrame;
};

_Unwind_Reason_Code PrintStep(_Unwind_Context* context, void* data) {
    Walk* walk = static_cast<Walk*>(data);
    int beforeInstruction = 0;
    const uintptr_t programCounter = _Unwind_GetIPInfo(context, &beforeInstruction);
    const uintptr_t frame = _Unwind_GetCFA(context);
    if (programCounter == 0)
        return _URC_END_OF_STACK;
    if (!walk->started) {
        if (programCounter != walk->faultAddress)
            return _URC_NO_REASON;
        walk->started = true;
    } else if (frame <= walk->previousFrame) {
        return _URC_END_OF_STACK;
    }
    walk->previousFrame = frame;
    // A return address may already belong to the next function; look up the call itself.
    PrintFrame(programCounter, frame, beforeInstruction ? programCounter : programCounter - 1);
    return _URC_NO_REASON;
}

} // namespace

void CrashReportWrite(const char* text, size_t length) {
    while (length > 0) {
        const ssize_t written = write(crashState.reportFile, text, length);
        if (written <= 0)
            return;
        text += written;
        length -= size_t(written);
    }
}

void CrashWriteReport(int signal, const siginfo_t* info, const ucontext_t* context) {
    const mcontext_t& machine = context->uc_mcontext;
    const uintptr_t address = uintptr_t(machine.gregs[REG_RIP]);
    uint32_t code = FaultCode(signal, *info, uintptr_t(machine.gregs[REG_RSP]));
    const char* name = CrashExceptionName(code);
    if (!name) {
        code = uint32_t(signal);
        name = sigdescr_np(signal);
    }
    const Module module = FindModule(address);
    CrashPrintOpening(crashState.symbolPath, code, name ? name : "", address, module.section,
                      module.offset, module.name);
    PrintRegisters(machine);
    CrashPrintStackHead();
    Walk walk = {address, false, 0};
    _Unwind_Backtrace(PrintStep, &walk);
    if (!walk.started)
        PrintFrame(address, 0, address);
    CrashPrint("\r\n");
}

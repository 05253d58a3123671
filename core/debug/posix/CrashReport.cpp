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

uint32_t FaultCode(int signal, const siginfo_t& info, uintptr_t stackPointer) {
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

const struct {
    const char* name;
    int index;
} kRegisters[] = {{"RAX", REG_RAX}, {"RBX", REG_RBX}, {"RCX", REG_RCX}, {"RDX", REG_RDX},
                  {"RSI", REG_RSI}, {"RDI", REG_RDI}, {"R8", REG_R8},   {"R9", REG_R9},
                  {"R10", REG_R10}, {"R11", REG_R11}, {"R12", REG_R12}, {"R13", REG_R13},
                  {"R14", REG_R14}, {"R15", REG_R15}, {"RIP", REG_RIP}};

void PrintRegisters(const mcontext_t& machine) {
    CrashPrint("\r\nRegisters:\r\n");
    for (const auto& reg : kRegisters)
        CrashPrint("%s:%016llX\r\n", reg.name, (unsigned long long)machine.gregs[reg.index]);
    CrashPrint("RSP:%016llX  RBP:%016llX\r\n", (unsigned long long)machine.gregs[REG_RSP],
               (unsigned long long)machine.gregs[REG_RBP]);
    CrashPrint("Flags:%08llX\r\n", (unsigned long long)machine.gregs[REG_EFL]);
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

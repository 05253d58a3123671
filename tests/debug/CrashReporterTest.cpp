#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// On Windows debug help adds a dump and the variables; registers and separators differ too.
#ifdef _WIN32
const bool kWindows = true;
#else
const bool kWindows = false;
#endif
const bool k64Bit = sizeof(void*) == 8;
const char* const kFirstRegister = k64Bit ? "RAX:" : "EAX:";
const char kSeparator = kWindows ? '\\' : '/';

// 64-bit Wine ends a thread whose stack overflowed without calling the process's exception
// filter, so no report can be written there; 32-bit Wine and Windows call it.
bool OverflowReachesTheFilter() {
#ifdef _WIN32
    const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return !(k64Bit && wine);
#else
    return true;
#endif
}

// The directory as the crashed program names it: native separators and a trailing separator.
std::string NativeDirectory(std::string path) {
    std::replace(path.begin(), path.end(), '/', kSeparator);
    return path + kSeparator;
}

// Runs the crash program with args in directory; how it ended, -1 when it did not in a minute.
int RunCrash(const std::vector<std::string>& args, const std::string& directory) {
    ChildProcess crash(CRASH_PROGRAM, NativeDirectory(directory), args);
    int exitCode = -1;
    crash.Wait(60000, &exitCode);
    return exitCode;
}

// The program's argument, the exception, the function on the stack, and a variable's line on
// 32-bit and on 64-bit Windows: x86-64 passes parameters in registers, and variables held in
// registers are left out of the report, so there a local on the stack stands for them.
const std::tuple<const char*, const char*, const char*, const char*, const char*> kFaults[] = {
    {"access", "C0000005 ACCESS_VIOLATION", "CrashAccessViolation",
     "\tParameter 'reason' = \"crash on demand\"\r\n", ""},
    {"divide", "C0000094 INT_DIVIDE_BY_ZERO", "CrashDivideByZero", "\tParameter 'dividend' = 3\r\n",
     "\tLocal 'divisor' = 0\r\n"},
    {"illegal", "C000001D ILLEGAL_INSTRUCTION", "CrashIllegalInstruction", "", ""},
    {"overflow", "C00000FD STACK_OVERFLOW", "CrashStackOverflow", "\tParameter 'depth' = ", ""},
    {"worker", "C0000005 ACCESS_VIOLATION", "CrashOnWorker", "\tParameter 'reason' = ", ""},
};

// Globals as listed: text, a pointer to nowhere as a number, a structure member by member.
const char* const kGlobals[] = {
    "\t'crashMessage' = \"crash on demand\"\r\n",
    "\t'danglingText' = 10\r\n",
    "\t'crashPlace' CrashPlace\r\n\t\t line = 2A\r\n\t\t weight = 0.500000\r\n"
    "\t\t file = \"CrashOnDemand.cpp\"\r\n",
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The part of report from the first from up to the next to (or its end); empty without from.
std::string Section(const std::string& report, const char* from, const char* to = nullptr) {
    const size_t start = report.find(from);
    if (start == std::string::npos)
        return "";
    return report.substr(start, to ? report.find(to, start) - start : std::string::npos);
}

TEST(CrashReporter, EachFaultIsReportedAndEndsTheProcessAsWithoutTheReporter) {
    for (const auto& [argument, exception, function, variable32, variable64] : kFaults) {
        SCOPED_TRACE(argument);
        TempDir plainDir;
        const int plain = RunCrash({argument}, plainDir.Path());
        // Wine ends a stack overflow with code 0; only the program's own 100 means no crash.
        EXPECT_TRUE(plain != 100 && plain != -1) << plain;
        EXPECT_TRUE(std::filesystem::is_empty(plainDir.Path())) << "written without Install";

        TempDir dir;
        EXPECT_EQ(plain, RunCrash({argument, "install"}, dir.Path()));
        if (std::string(argument) == "overflow" && !OverflowReachesTheFilter()) {
            EXPECT_TRUE(std::filesystem::is_empty(dir.Path())) << "the filter was called";
            continue;
        }
        const std::string report = ReadWholeFile(dir / "crash_test.txt");
        SCOPED_TRACE(report);
        EXPECT_EQ(0u, report.rfind("\r\n//PDB : ======== " + NativeDirectory(dir.Path()) +
                                       " ===================\r\nException code: " + exception +
                                       "\r\nFault address:  ",
                                   0));
        EXPECT_TRUE(Contains(report, std::string("\r\n\r\nRegisters:\r\n") + kFirstRegister));
        EXPECT_TRUE(
            Contains(Section(report, "\r\nCall stack:\r\n", "========================"), function));
        if (kWindows) {
            EXPECT_EQ("MDMP", ReadWholeFile(dir / "crash_test_dump.dmp").substr(0, 4));
            EXPECT_TRUE(Contains(
                Section(report, "Local Variables And Parameters\r\n", "Global Variables\r\n"),
                k64Bit ? variable64 : variable32));
            for (const char* global : kGlobals)
                EXPECT_TRUE(Contains(Section(report, "Global Variables\r\n"), global));
        }
    }
}

} // namespace

#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace {

// The first register line of a report, and whether the target's debug-help library adds a
// minidump and the listings of variables.
#ifdef _WIN32
const char kFirstRegister[] = "EAX:";
const bool kDebugHelp = true;
#else
const char kFirstRegister[] = "RAX:";
const bool kDebugHelp = false;
#endif

// The directory as the crashed program names it: native separators and a trailing separator.
std::string NativeDirectory(std::string path) {
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '/', '\\');
    return path + "\\";
#else
    return path + "/";
#endif
}

// Runs the crash program with args in directory; how it ended, -1 when it did not in a minute.
int RunCrash(const std::vector<std::string>& args, const std::string& directory) {
    ChildProcess crash(CRASH_PROGRAM, NativeDirectory(directory), args);
    int exitCode = -1;
    EXPECT_TRUE(crash.Started());
    crash.Wait(60000, &exitCode);
    return exitCode;
}

struct Fault {
    const char* argument;
    const char* exception;
    // The function that faults, which the call stack must name, and the start of its parameter's
    // line in the listing with variables.
    const char* function;
    const char* parameter;
};

const Fault kFaults[] = {
    {"access", "C0000005 ACCESS_VIOLATION", "CrashAccessViolation",
     "\tParameter 'reason' = \"crash on demand\"\r\n"},
    {"divide", "C0000094 INT_DIVIDE_BY_ZERO", "CrashDivideByZero",
     "\tParameter 'dividend' = 3\r\n"},
    {"illegal", "C000001D ILLEGAL_INSTRUCTION", "CrashIllegalInstruction", ""},
    {"overflow", "C00000FD STACK_OVERFLOW", "CrashStackOverflow", "\tParameter 'depth' = "},
    {"worker", "C0000005 ACCESS_VIOLATION", "CrashOnWorker", "\tParameter 'reason' = "},
};

// The crash program's globals as the listing shows them: text, a pointer to nowhere as a
// number, and a structure member by member.
const char* const kGlobals[] = {
    "\t'crashMessage' = \"crash on demand\"\r\n",
    "\t'danglingText' = 10\r\n",
    "\t'crashPlace' CrashPlace\r\n\t\t line = 2A\r\n\t\t weight = 0.500000\r\n"
    "\t\t file = \"CrashOnDemand.cpp\"\r\n",
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The first call stack of a report: from its heading to the listing with variables.
std::string FirstCallStack(const std::string& report) {
    const size_t start = report.find("\r\nCall stack:\r\n");
    if (start == std::string::npos)
        return "";
    return report.substr(start, report.find("========================", start) - start);
}

TEST(CrashReporter, EachFaultIsReportedAndEndsTheProcessAsWithoutTheReporter) {
    for (const Fault& fault : kFaults) {
        SCOPED_TRACE(fault.argument);
        TempDir plainDir;
        const int plain = RunCrash({fault.argument}, plainDir.Path());
        // Wine ends a process whose stack overflowed with code 0, so only the program's own
        // code for "no fault happened" tells that nothing crashed.
        EXPECT_NE(100, plain) << "the program did not crash";
        EXPECT_NE(-1, plain);
        EXPECT_TRUE(std::filesystem::is_empty(plainDir.Path())) << "written without Install";

        TempDir dir;
        EXPECT_EQ(plain, RunCrash({fault.argument, "install"}, dir.Path()));

        const std::string report = ReadWholeFile(dir / "crash_test.txt");
        EXPECT_EQ(0u, report.rfind("\r\n//PDB : ======== " + NativeDirectory(dir.Path()) +
                                       " ===================\r\nException code: " +
                                       fault.exception + "\r\nFault address:  ",
                                   0))
            << report.substr(0, 300);
        EXPECT_TRUE(Contains(report, std::string("\r\n\r\nRegisters:\r\n") + kFirstRegister))
            << report.substr(0, 300);
        EXPECT_TRUE(Contains(FirstCallStack(report), fault.function)) << report.substr(0, 4000);
        if (kDebugHelp) {
            EXPECT_EQ("MDMP", ReadWholeFile(dir / "crash_test_dump.dmp").substr(0, 4));
            const size_t variables = report.find("Local Variables And Parameters\r\n");
            const size_t globals = report.find("Global Variables\r\n");
            ASSERT_NE(std::string::npos, variables);
            ASSERT_NE(std::string::npos, globals);
            EXPECT_TRUE(Contains(report.substr(variables, globals - variables), fault.parameter))
                << report.substr(variables, 2000);
            for (const char* global : kGlobals)
                EXPECT_TRUE(Contains(report.substr(globals), global)) << report.substr(globals);
        }
    }
}

} // namespace

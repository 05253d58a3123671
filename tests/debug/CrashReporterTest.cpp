#include "tests/debug/CrashProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

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

bool IsEmptyDirectory(const std::string& path) {
    return std::filesystem::is_empty(path);
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
        const std::string plain =
            RunBesideThisProgram("crash_on_demand", {fault.argument}, plainDir.Path());
        // Wine ends a process whose stack overflowed with code 0, so only the program's own
        // code for "no fault happened" tells that nothing crashed.
        EXPECT_NE("exit 64", plain) << "the program did not crash";
        EXPECT_NE("not started", plain);
        EXPECT_NE("timeout", plain);
        EXPECT_TRUE(IsEmptyDirectory(plainDir.Path())) << "written without Install";

        TempDir dir;
        const std::string reported =
            RunBesideThisProgram("crash_on_demand", {fault.argument, "install"}, dir.Path());
        EXPECT_EQ(plain, reported);

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

#include "tests/debug/CrashProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

struct Fault {
    const char* argument;
    const char* exception;
    // The function that faults, which the call stack must name.
    const char* function;
};

const Fault kFaults[] = {
    {"access", "C0000005 ACCESS_VIOLATION", "CrashAccessViolation"},
    {"divide", "C0000094 INT_DIVIDE_BY_ZERO", "CrashDivideByZero"},
    {"illegal", "C000001D ILLEGAL_INSTRUCTION", "CrashIllegalInstruction"},
    {"overflow", "C00000FD STACK_OVERFLOW", "CrashStackOverflow"},
    {"worker", "C0000005 ACCESS_VIOLATION", "CrashOnWorker"},
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
        EXPECT_NE("exit 0", plain);
        EXPECT_NE("exit 1", plain) << "the program did not crash";
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
        if (kWritesMinidump) {
            EXPECT_EQ("MDMP", ReadWholeFile(dir / "crash_test_dump.dmp").substr(0, 4));
        }
    }
}

} // namespace

// The memory error under the Windows tool chain, and the lean run-time pieces
// of the shipped program against the run-time's own.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "fileio/error_handler.h"
#include "support/machine_win.h"

namespace {

TEST(MemoryError, IsTheInt8)
{
    try {
        ErrHandler.MemoryError();
        FAIL() << "returned";
    } catch (int code) {
        EXPECT_EQ(code, 8);
    }
}

struct Outcome {
    DWORD exitCode;
    std::string output;  // stdout and stderr together
};

Outcome RunProbe(const std::string& kind, const std::string& mode)
{
    std::string dir = machine::ScratchDir("runtime_" + kind + "_" + mode);
    std::string outPath = dir + "\\out.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = out;
    std::string command = "\"" + machine::BinDir() + "runtime_probe_" + kind + ".exe\" " + mode;
    PROCESS_INFORMATION pi = {};
    Outcome outcome = {~0u, ""};
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 30000);
        GetExitCodeProcess(pi.hProcess, &outcome.exitCode);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(out);
    machine::ReadFile(outPath, &outcome.output);
    return outcome;
}

TEST(LeanRuntime, FormatsAsTheRuntimePrintf)
{
    Outcome plain = RunProbe("plain", "format");
    Outcome lean = RunProbe("lean", "format");
    ASSERT_EQ(plain.exitCode, 0u) << plain.output;
    EXPECT_EQ(lean.exitCode, 0u);
    EXPECT_EQ(lean.output, plain.output);
    EXPECT_NE(plain.output.find("cut: 29 [C:\\WINDOW]"), std::string::npos) << plain.output;
}

TEST(LeanRuntime, UncaughtMemoryErrorEndsTheRunAsBefore)
{
    Outcome plain = RunProbe("plain", "memory");
    Outcome lean = RunProbe("lean", "memory");
    EXPECT_EQ(plain.exitCode, 3u) << plain.output;
    EXPECT_NE(plain.output.find("terminate called after throwing an instance of 'int'"), std::string::npos)
        << plain.output;
    EXPECT_EQ(lean.exitCode, plain.exitCode);
    EXPECT_EQ(lean.output, plain.output);
}

}  // namespace

// The framework's start-up, run in a program of its own (framework_startup_probe.exe).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::string ProbePath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder + "framework_startup_probe.exe";
}

// Runs the probe with the argument and returns its exit code (or -1 when it did not end).
long RunProbe(const std::string& argument) {
    std::string commandLine = "\"" + ProbePath() + "\" " + argument;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << GetLastError();
        return -1;
    }
    long code = -1;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
        DWORD exitCode = 0;
        GetExitCodeProcess(process.hProcess, &exitCode);
        code = static_cast<long>(exitCode);
    } else {
        TerminateProcess(process.hProcess, 1);
        ADD_FAILURE() << commandLine << " did not end";
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

TEST(StartUp, InitInstanceReturningFalseEndsWithoutAMessageLoop) {
    // ExitInstance ran (20), no loop took the posted message (100) nor the quit code (0).
    EXPECT_EQ(120, RunProbe("init-false"));
}

TEST(StartUp, InitInstanceReturningTrueRunsTheLoopUntilQuit) {
    // ExitInstance ran (20) after the loop took the posted message and quit with 7.
    EXPECT_EQ(27, RunProbe("init-true"));
}

TEST(StartUp, DialogsGetTheUpDownControlWithoutImportingCommonControls) {
    // The common controls library was not loaded before the first dialog, and the dialog has its
    // up-down control.
    EXPECT_EQ(0, RunProbe("updown"));
}

} // namespace

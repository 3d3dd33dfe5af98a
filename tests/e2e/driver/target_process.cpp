#include "tests/e2e/driver/target_process.h"

#include <vector>

#include "tests/e2e/driver/window_text.h"

bool TargetProcess::Start(const std::wstring& exePath, std::string& error) {
    m_job.Reset(CreateJobObjectW(nullptr, nullptr));
    if (m_job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(m_job.get(), JobObjectExtendedLimitInformation, &limits,
                                sizeof limits);
    }
    std::wstring folder = exePath;
    const size_t slash = folder.find_last_of(L"\\/");
    folder = slash == std::wstring::npos ? L"." : folder.substr(0, slash);
    std::wstring commandLine = L"\"" + exePath + L"\"";
    std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(L'\0');

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(exePath.c_str(), mutableLine.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED, nullptr, folder.c_str(), &startup, &info)) {
        error = "cannot start " + Utf8(exePath) + ": error " + std::to_string(GetLastError());
        return false;
    }
    if (m_job) {
        AssignProcessToJobObject(m_job.get(), info.hProcess);
    }
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    m_process.Reset(info.hProcess);
    m_processId = info.dwProcessId;
    return true;
}

bool TargetProcess::Running() const {
    return m_process && WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT;
}

bool TargetProcess::WaitForExit(DWORD timeoutMs) const {
    return !m_process || WaitForSingleObject(m_process.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD TargetProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_process) {
        GetExitCodeProcess(m_process.get(), &code);
    }
    return code;
}

void TargetProcess::Terminate() {
    if (Running()) {
        TerminateProcess(m_process.get(), 255);
        WaitForSingleObject(m_process.get(), 5000);
    }
}

namespace {

struct DialogSearch {
    DWORD processId;
    std::string caption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<DialogSearch*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == search->processId && IsWindowVisible(hwnd) && ClassNameOf(hwnd) == "#32770" &&
        WindowTextOf(hwnd) == search->caption) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindTopLevelDialog(DWORD processId, const std::string& caption) {
    DialogSearch search{processId, caption, nullptr};
    EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// startup_probe: launches programs the same way, one after another, and times each from
// CreateProcess to its main window taking input: a visible top-level dialog of the new process
// that answers WM_NULL. Prints one JSON line per launch with the two times and the process's
// working set at that moment, then closes the program as its close box would.
//
//   startup_probe [--runs N] [--warmup N] EXE...
//
// The programs take turns (EXE1, EXE2, EXE1, ...), so that a slow spell of the machine falls on
// all of them alike. Warm-up launches are reported with "warmup":true.
#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD kReadyTimeoutMs = 30000;
constexpr DWORD kAnswerTimeoutMs = 5000;
constexpr DWORD kExitTimeoutMs = 5000;

double MsSince(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

class Handle {
public:
    explicit Handle(HANDLE handle = nullptr) : m_handle(handle) {}
    ~Handle() {
        if (m_handle) {
            CloseHandle(m_handle);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    wchar_t className[16] = {};
    GetClassNameW(hwnd, className, 16);
    if (process == search->processId && IsWindowVisible(hwnd) &&
        std::wstring(className) == L"#32770") {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindDialog(DWORD processId) {
    WindowSearch search{processId, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string Utf8(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) {
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], size, nullptr, nullptr);
    }
    return out;
}

std::string JsonEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

// One launch: true with the figures printed, false with the failure printed.
bool Launch(const std::wstring& exe, bool warmup, HANDLE job) {
    std::wstring folder = exe;
    const size_t slash = folder.find_last_of(L"\\/");
    folder = slash == std::wstring::npos ? L"." : folder.substr(0, slash);
    std::wstring commandLine = L"\"" + exe + L"\"";
    std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};

    const std::string name = JsonEscaped(Utf8(exe));
    const auto started = Clock::now();
    if (!CreateProcessW(exe.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info)) {
        std::printf("{\"exe\":\"%s\",\"ok\":false,\"error\":\"CreateProcess failed: %lu\"}\n",
                    name.c_str(), GetLastError());
        return false;
    }
    Handle process(info.hProcess);
    Handle thread(info.hThread);
    AssignProcessToJobObject(job, info.hProcess);

    HWND dialog = nullptr;
    while (!(dialog = FindDialog(info.dwProcessId))) {
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0 ||
            MsSince(started) > kReadyTimeoutMs) {
            std::printf("{\"exe\":\"%s\",\"ok\":false,\"error\":\"no dialog appeared\"}\n",
                        name.c_str());
            TerminateProcess(info.hProcess, 1);
            return false;
        }
        Sleep(1);
    }
    const double windowMs = MsSince(started);
    DWORD_PTR result = 0;
    const bool answered = SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                              kAnswerTimeoutMs, &result) != 0;
    const double readyMs = MsSince(started);

    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    const bool haveMemory = GetProcessMemoryInfo(info.hProcess, &memory, sizeof memory) != 0;

    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    const bool closed = WaitForSingleObject(info.hProcess, kExitTimeoutMs) == WAIT_OBJECT_0;
    if (!closed) {
        TerminateProcess(info.hProcess, 1);
    }
    std::printf("{\"exe\":\"%s\",\"ok\":%s,\"warmup\":%s,\"window_ms\":%.1f,\"ready_ms\":%.1f,"
                "\"working_set\":%llu,\"closed\":%s}\n",
                name.c_str(), answered ? "true" : "false", warmup ? "true" : "false", windowMs,
                readyMs, haveMemory ? static_cast<unsigned long long>(memory.WorkingSetSize) : 0ULL,
                closed ? "true" : "false");
    std::fflush(stdout);
    return answered;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int runs = 5;
    int warmups = 1;
    std::vector<std::wstring> programs;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--runs" && i + 1 < argc) {
            runs = _wtoi(argv[++i]);
        } else if (arg == L"--warmup" && i + 1 < argc) {
            warmups = _wtoi(argv[++i]);
        } else {
            programs.push_back(arg);
        }
    }
    if (programs.empty() || runs < 1 || warmups < 0) {
        std::fprintf(stderr, "usage: startup_probe [--runs N] [--warmup N] EXE...\n");
        return 2;
    }
    // Programs left behind by a failed run end with the probe.
    Handle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);

    bool ok = true;
    for (int round = 0; round < warmups + runs; ++round) {
        for (const std::wstring& exe : programs) {
            ok = Launch(exe, round < warmups, job.get()) && ok;
        }
    }
    return ok ? 0 : 1;
}

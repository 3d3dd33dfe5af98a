// The program under test: started by the driver, ended with it.
#pragma once

#include <windows.h>

#include <string>

// Owns a kernel handle.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : m_handle(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    HANDLE get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Reset(HANDLE handle = nullptr) {
        if (m_handle) {
            CloseHandle(m_handle);
        }
        m_handle = handle;
    }

private:
    HANDLE m_handle = nullptr;
};

class TargetProcess {
public:
    // Starts the program in its own folder. It runs in a job that ends it when the driver ends,
    // however the driver ends, so a failed run never leaves it behind.
    bool Start(const std::wstring& exePath, std::string& error);

    DWORD Id() const { return m_processId; }
    bool Running() const;
    // Waits for the process to end; false when it still runs after timeoutMs.
    bool WaitForExit(DWORD timeoutMs) const;
    DWORD ExitCode() const;
    void Terminate();

private:
    UniqueHandle m_job;
    UniqueHandle m_process;
    DWORD m_processId = 0;
};

// The visible dialog of the process with this caption; null when there is none.
HWND FindTopLevelDialog(DWORD processId, const std::string& caption);

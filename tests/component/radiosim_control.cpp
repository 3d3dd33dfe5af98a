#include "radiosim_control.h"

#include <windows.h>

#include <cstdlib>
#include <vector>

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

size_t Occurrences(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

constexpr char kControlEntry[] = "\"dir\":\"ctl\"";
constexpr char kFrameIn[] = "\"dir\":\"in\"";

} // namespace

RadioSimulator::RadioSimulator()
    : m_control(Environment("RADIOSIM_CONTROL_WIN")), m_log(Environment("RADIOSIM_LOG_WIN")) {}

std::string RadioSimulator::WorkFolder() const {
    const size_t slash = m_log.find_last_of('\\');
    return slash == std::string::npos ? std::string() : m_log.substr(0, slash + 1);
}

std::string RadioSimulator::Log() const {
    HANDLE file = CreateFileA(m_log.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        text.append(chunk, got);
    }
    CloseHandle(file);
    return text;
}

size_t RadioSimulator::FramesReceived() const {
    return Occurrences(Log(), kFrameIn);
}

std::string RadioSimulator::Control(const std::string& line) {
    const size_t before = Occurrences(Log(), kControlEntry);
    HANDLE fifo = CreateFileA(m_control.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (fifo == INVALID_HANDLE_VALUE) {
        return "cannot open the control FIFO " + m_control + ": error " +
               std::to_string(GetLastError());
    }
    const std::string text = line + "\n";
    DWORD written = 0;
    const BOOL ok =
        WriteFile(fifo, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(fifo);
    if (!ok || written != text.size()) {
        return "cannot write the control FIFO";
    }
    // The radio logs each control line with its verdict once it has applied it.
    for (int waited = 0; waited < 5000; waited += 10) {
        const std::string log = Log();
        if (Occurrences(log, kControlEntry) > before) {
            const size_t entry = log.rfind(kControlEntry);
            const size_t verdict = log.find("\"verdict\":\"", entry);
            if (verdict == std::string::npos) {
                return "no verdict in the log";
            }
            const size_t start = verdict + 11;
            return log.substr(start, log.find('"', start) - start);
        }
        Sleep(10);
    }
    return "the radio did not log the control line";
}

bool WriteWholeFile(const std::string& path, const void* bytes, size_t size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
    return ok && written == size;
}

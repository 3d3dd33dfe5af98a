#include "tests/soak/sim_channel.h"

#include <windows.h>

#include <cstdlib>

bool SendControl(const std::string& fifoPath, const std::string& line) {
    HANDLE fifo = CreateFileA(fifoPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (fifo == INVALID_HANDLE_VALUE) {
        return false;
    }
    const std::string text = line + "\n";
    DWORD written = 0;
    const BOOL ok =
        WriteFile(fifo, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(fifo);
    return ok && written == text.size();
}

namespace {

// The number after `"name":` in a log line, 0 when absent.
uint64_t Field(const std::string& line, const char* name) {
    const std::string key = std::string("\"") + name + "\":";
    const size_t at = line.find(key);
    return at == std::string::npos ? 0 : std::strtoull(line.c_str() + at + key.size(), nullptr, 10);
}

void CountLine(const std::string& line, LineFaultCounts& counts) {
    if (line.find("\"dir\":\"out\"") != std::string::npos) {
        counts.droppedBytes += Field(line, "dropped");
        counts.corruptedBytes += Field(line, "corrupted");
        counts.heldReplies += Field(line, "held_ms") > 0 ? 1 : 0;
    } else if (line.find("\"type\":\"damaged\"") != std::string::npos) {
        ++counts.damagedFrames;
    } else if (line.find("\"verdict\":\"silent\"") != std::string::npos) {
        ++counts.unheardFrames;
    }
}

} // namespace

LineFaultCounts CountLineFaults(const std::string& logPath) {
    LineFaultCounts counts;
    HANDLE file = CreateFileA(logPath.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return counts;
    }
    std::string pending;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        pending.append(chunk, got);
        size_t start = 0;
        for (size_t end = pending.find('\n'); end != std::string::npos;
             end = pending.find('\n', start)) {
            CountLine(pending.substr(start, end - start), counts);
            start = end + 1;
        }
        pending.erase(0, start);
    }
    CloseHandle(file);
    return counts;
}

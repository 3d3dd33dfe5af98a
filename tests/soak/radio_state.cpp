#include "tests/soak/radio_state.h"

#include <windows.h>

namespace {

constexpr size_t kMemorySize = 65536;

uint32_t Pointer(const std::vector<uint8_t>& memory, uint32_t at) {
    return static_cast<uint32_t>(memory[at % kMemorySize]) << 8 | memory[(at + 1) % kMemorySize];
}

uint8_t Byte(const std::vector<uint8_t>& memory, uint32_t at) {
    return memory[at % kMemorySize];
}

} // namespace

RadioState InspectMemory(const std::vector<uint8_t>& memory) {
    RadioState state;
    if (memory.size() != kMemorySize) {
        return state;
    }
    state.loaded = true;
    const uint32_t index = Pointer(memory, 2);
    state.vectorAddress = Pointer(memory, 39);
    state.recordAddress = Pointer(memory, index + 52);

    // Record: checksum at N + 4 over byte 1 and bytes 4 to N + 3, minus 0x55.
    const uint32_t record = state.recordAddress;
    const uint32_t n = Byte(memory, record);
    uint32_t sum = Byte(memory, record + 1);
    for (uint32_t i = 4; i <= n + 3; ++i) {
        sum += Byte(memory, record + i);
    }
    state.recordChecksumOk = static_cast<uint8_t>(sum - 0x55) == Byte(memory, record + n + 4);
    state.recordValue = Byte(memory, record + 22) & 0x0Fu;

    // Vector: checksum at byte 13 over bytes 0 to 12, minus 0x55.
    const uint32_t vector = state.vectorAddress;
    sum = 0;
    for (uint32_t i = 0; i <= 12; ++i) {
        sum += Byte(memory, vector + i);
    }
    state.vectorChecksumOk = static_cast<uint8_t>(sum - 0x55) == Byte(memory, vector + 13);
    state.vectorValue = Byte(memory, vector + 7) >> 4;
    return state;
}

std::vector<uint8_t> ReadMemoryFile(const std::string& path) {
    // The radio replaces the file by a rename: open, read whole, close, and retry if it was
    // being replaced at that moment.
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            std::vector<uint8_t> memory(kMemorySize);
            DWORD got = 0;
            const BOOL ok =
                ReadFile(file, memory.data(), static_cast<DWORD>(memory.size()), &got, nullptr);
            CloseHandle(file);
            if (ok && got == kMemorySize) {
                return memory;
            }
        }
        Sleep(10);
    }
    return {};
}

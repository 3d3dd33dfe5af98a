// The simulated radio's memory: 65,536 bytes addressed from 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace radiosim {

constexpr size_t kMemorySize = 65536;

class RadioMemory {
public:
    RadioMemory() : m_bytes(kMemorySize, 0) {}

    uint8_t* data() { return m_bytes.data(); }
    const uint8_t* data() const { return m_bytes.data(); }
    uint8_t& operator[](size_t address) { return m_bytes[address]; }
    uint8_t operator[](size_t address) const { return m_bytes[address]; }

    // True when `count` bytes from `address` lie inside the memory. Addresses are 32-bit on
    // the line, so the sum is formed in 64 bits to rule out wrapping.
    static bool Contains(uint32_t address, size_t count) {
        return uint64_t{address} + count <= kMemorySize;
    }

    bool operator==(const RadioMemory& other) const { return m_bytes == other.m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

} // namespace radiosim

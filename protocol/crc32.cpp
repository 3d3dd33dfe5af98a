#include "protocol/crc32.h"

#include <array>

namespace proto {
namespace {

constexpr uint32_t kReflectedPolynomial = 0xEDB88320u;

constexpr std::array<uint32_t, 256> MakeTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit) {
            value = (value & 1u) ? (value >> 1) ^ kReflectedPolynomial : value >> 1;
        }
        table[i] = value;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kTable = MakeTable();

} // namespace

uint32_t Crc32(const uint8_t* bytes, size_t count, uint32_t crc) {
    // Undo the final xor of the previous result so that calls can be chained.
    uint32_t value = crc ^ 0xFFFFFFFFu;
    for (size_t i = 0; i < count; ++i) {
        value = kTable[(value ^ bytes[i]) & 0xFFu] ^ (value >> 8);
    }
    return value ^ 0xFFFFFFFFu;
}

} // namespace proto

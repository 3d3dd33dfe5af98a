// Big-endian (network order) 32-bit fields, as every multi-byte field on the line is sent.
#pragma once

#include <cstdint>

namespace proto {

inline void PutBigEndian32(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value >> 24);
    at[1] = static_cast<uint8_t>(value >> 16);
    at[2] = static_cast<uint8_t>(value >> 8);
    at[3] = static_cast<uint8_t>(value);
}

inline uint32_t GetBigEndian32(const uint8_t* at) {
    return (uint32_t{at[0]} << 24) | (uint32_t{at[1]} << 16) | (uint32_t{at[2]} << 8) |
           uint32_t{at[3]};
}

} // namespace proto

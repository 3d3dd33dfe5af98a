// CRC-32 (IEEE 802.3: reflected polynomial 0xEDB88320, initial value and final xor 0xFFFFFFFF).
#pragma once

#include <cstddef>
#include <cstdint>

namespace proto {

// Crc32 of bytes; pass a previous result as `crc` to continue over more bytes.
uint32_t Crc32(const uint8_t* bytes, size_t count, uint32_t crc = 0);

} // namespace proto

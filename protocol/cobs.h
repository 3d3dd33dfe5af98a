// Consistent Overhead Byte Stuffing: removes every 0x00 from a block so that 0x00 can delimit
// frames on the line. Overhead: one byte per 254 bytes of input, plus one.
#pragma once

#include <cstddef>
#include <cstdint>

namespace proto {

constexpr size_t CobsEncodedMax(size_t rawSize) {
    return rawSize + rawSize / 254 + 1;
}

// Encodes raw[0..rawSize) into out (no delimiter). Returns the encoded size, or 0 when out is
// too small.
size_t CobsEncode(const uint8_t* raw, size_t rawSize, uint8_t* out, size_t outCapacity);

// Decodes encoded[0..encodedSize) (no delimiter) into out. Returns the decoded size, or 0 when
// the input is malformed (a 0x00 inside, a code running past the end) or out is too small.
size_t CobsDecode(const uint8_t* encoded, size_t encodedSize, uint8_t* out, size_t outCapacity);

} // namespace proto

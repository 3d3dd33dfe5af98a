// Checks the two checksummed blocks as they stand in memory, found through the pointers
// stored in memory: the squelch record and the squelch pot vector.
#pragma once

#include <cstddef>
#include <cstdint>

#include "radiosim/radio_memory.h"

namespace radiosim {

// (sum of the covered bytes - 0x55) mod 256: the checksum of both blocks.
uint8_t SumMinus55(const uint8_t* bytes, size_t count, uint8_t start = 0);

struct LayoutCheck {
    bool recordOk = false; // the record was found, 28 <= N <= 59, and its checksum matches
    bool vectorOk = false; // the vector lies at 65..639 and its checksum matches
    bool Consistent() const { return recordOk && vectorOk; }
};

LayoutCheck CheckLayout(const RadioMemory& memory);

} // namespace radiosim

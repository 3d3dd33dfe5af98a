// Checks the two checksummed blocks as they stand in memory, found through the pointers
// stored in memory: the squelch record and the squelch pot vector.
#pragma once

#include <cstdint>

#include "radiosim/radio_memory.h"

namespace radiosim {

// The checksums, (sum of the covered bytes - 0x55) mod 256, due for the record (of length N, held
// at its byte 0) and the vector that lie at these addresses; the caller makes sure that they lie
// inside the memory.
uint8_t RecordChecksum(const RadioMemory& memory, uint32_t record);
uint8_t VectorChecksum(const RadioMemory& memory, uint32_t vector);

struct LayoutCheck {
    bool recordOk = false; // the record was found, 28 <= N <= 59, and its checksum matches
    bool vectorOk = false; // the vector lies at 65..639 and its checksum matches
    bool Consistent() const { return recordOk && vectorOk; }
};

LayoutCheck CheckLayout(const RadioMemory& memory);

} // namespace radiosim

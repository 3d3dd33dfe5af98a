// The built-in radio: a memory that follows the radio's layout, with the factory squelch
// value in both places and both checksums valid.
#pragma once

#include <cstdint>

#include "radiosim/radio_memory.h"

namespace radiosim {

// Where the built-in radio keeps its blocks.
struct DefaultLayout {
    static constexpr uint16_t kIndexAddress = 0x0120;
    static constexpr uint16_t kRecordAddress = 0x0240;
    static constexpr uint16_t kPotVectorAddress = 0x00A0;
    static constexpr uint8_t kRecordLength = 42; // N: the record checksum lies at byte 46
    static constexpr uint8_t kSquelchValue = 8;
    // Bits 5 and 7 are set besides the value and bit 4, so a write that must keep bits 5 to 7
    // shows whether it did.
    static constexpr uint8_t kSquelchByte = 0xA0 | 0x10 | kSquelchValue;
};

RadioMemory MakeDefaultRadio();

} // namespace radiosim

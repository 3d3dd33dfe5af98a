// Where the radio's memory keeps its squelch blocks: the pointers that lead to them and the
// places of their fields. The built-in radio is made, and every memory checked, by these.
#pragma once

#include <cstdint>

namespace radiosim {

// The root block at address 0 holds two big-endian pointers.
constexpr uint32_t kIndexPointerAt = 2;
constexpr uint32_t kPotVectorPointerAt = 39;

// The index block holds the big-endian pointer to the squelch record.
constexpr uint32_t kRecordPointerAt = 52;

// The squelch record: its length N at byte 0 (28 to 59), a fixed byte at 1, the squelch byte
// at 22. Its checksum covers byte 1 and bytes 4 to N + 3, and lies at N + 4.
constexpr uint32_t kRecordLengthAt = 0;
constexpr uint32_t kRecordFixedByteAt = 1;
constexpr uint32_t kRecordBodyAt = 4;
constexpr uint32_t kRecordSquelchAt = 22;
constexpr uint32_t kRecordMinLength = 28;
constexpr uint32_t kRecordMaxLength = 59;
constexpr uint32_t RecordChecksumAt(uint32_t n) {
    return kRecordBodyAt + n;
}

// The squelch pot vector lies at 65 to 639: the squelch setting at byte 7, and at byte 13 the
// checksum of bytes 0 to 12.
constexpr uint32_t kPotVectorLowest = 65;
constexpr uint32_t kPotVectorHighest = 639;
constexpr uint32_t kPotVectorSettingAt = 7;
constexpr uint32_t kPotVectorChecksumAt = 13;

} // namespace radiosim

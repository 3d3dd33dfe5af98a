#include "radiosim/layout_check.h"

namespace radiosim {
namespace {

constexpr uint32_t kIndexPointerAt = 2;      // in the root block at 0
constexpr uint32_t kPotVectorPointerAt = 39; // in the root block at 0
constexpr uint32_t kRecordPointerAt = 52;    // in the index block
constexpr uint32_t kSquelchRecordMinN = 28;
constexpr uint32_t kSquelchRecordMaxN = 59;
constexpr uint32_t kPotVectorLowest = 65;
constexpr uint32_t kPotVectorHighest = 639;
constexpr uint32_t kPotVectorChecksumAt = 13;

uint32_t Pointer(const RadioMemory& memory, uint32_t at) {
    return uint32_t{memory[at]} * 256 + memory[at + 1];
}

bool RecordOk(const RadioMemory& memory) {
    const uint32_t index = Pointer(memory, kIndexPointerAt);
    if (!RadioMemory::Contains(index + kRecordPointerAt, 2)) {
        return false;
    }
    const uint32_t record = Pointer(memory, index + kRecordPointerAt);
    const uint32_t n = memory[record];
    if (n < kSquelchRecordMinN || n > kSquelchRecordMaxN || !RadioMemory::Contains(record, n + 5)) {
        return false;
    }
    // Covered: byte 1 and bytes 4 to N + 3; bytes 2 and 3 are not.
    const uint8_t sum = SumMinus55(memory.data() + record + 4, n, memory[record + 1]);
    return memory[record + n + 4] == sum;
}

bool VectorOk(const RadioMemory& memory) {
    const uint32_t vector = Pointer(memory, kPotVectorPointerAt);
    if (vector < kPotVectorLowest || vector > kPotVectorHighest) {
        return false;
    }
    return memory[vector + kPotVectorChecksumAt] ==
           SumMinus55(memory.data() + vector, kPotVectorChecksumAt);
}

} // namespace

uint8_t SumMinus55(const uint8_t* bytes, size_t count, uint8_t start) {
    uint8_t sum = start;
    for (size_t i = 0; i < count; ++i) {
        sum = static_cast<uint8_t>(sum + bytes[i]);
    }
    return static_cast<uint8_t>(sum - 0x55);
}

LayoutCheck CheckLayout(const RadioMemory& memory) {
    LayoutCheck check;
    check.recordOk = RecordOk(memory);
    check.vectorOk = VectorOk(memory);
    return check;
}

} // namespace radiosim

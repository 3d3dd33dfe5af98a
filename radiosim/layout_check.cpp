#include "radiosim/layout_check.h"

#include "radiosim/memory_layout.h"

namespace radiosim {
namespace {

uint8_t SumMinus55(const uint8_t* bytes, size_t count, uint8_t start = 0) {
    uint8_t sum = start;
    for (size_t i = 0; i < count; ++i) {
        sum = static_cast<uint8_t>(sum + bytes[i]);
    }
    return static_cast<uint8_t>(sum - 0x55);
}

uint32_t Pointer(const RadioMemory& memory, uint32_t at) {
    return uint32_t{memory[at]} * 256 + memory[at + 1];
}

bool RecordOk(const RadioMemory& memory) {
    const uint32_t index = Pointer(memory, kIndexPointerAt);
    if (!RadioMemory::Contains(index + kRecordPointerAt, 2)) {
        return false;
    }
    const uint32_t record = Pointer(memory, index + kRecordPointerAt);
    const uint32_t n = memory[record + kRecordLengthAt];
    if (n < kRecordMinLength || n > kRecordMaxLength ||
        !RadioMemory::Contains(record, RecordChecksumAt(n) + 1)) {
        return false;
    }
    return memory[record + RecordChecksumAt(n)] == RecordChecksum(memory, record);
}

bool VectorOk(const RadioMemory& memory) {
    const uint32_t vector = Pointer(memory, kPotVectorPointerAt);
    if (vector < kPotVectorLowest || vector > kPotVectorHighest) {
        return false;
    }
    return memory[vector + kPotVectorChecksumAt] == VectorChecksum(memory, vector);
}

} // namespace

uint8_t RecordChecksum(const RadioMemory& memory, uint32_t record) {
    return SumMinus55(memory.data() + record + kRecordBodyAt, memory[record + kRecordLengthAt],
                      memory[record + kRecordFixedByteAt]);
}

uint8_t VectorChecksum(const RadioMemory& memory, uint32_t vector) {
    return SumMinus55(memory.data() + vector, kPotVectorChecksumAt);
}

LayoutCheck CheckLayout(const RadioMemory& memory) {
    LayoutCheck check;
    check.recordOk = RecordOk(memory);
    check.vectorOk = VectorOk(memory);
    return check;
}

} // namespace radiosim

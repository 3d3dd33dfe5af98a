#include "radiosim/default_radio.h"

#include "radiosim/layout_check.h"
#include "radiosim/memory_layout.h"

namespace radiosim {
namespace {

// The filler of every byte that no block gives a meaning to: never 0, and with a period of
// 251 bytes so that a read from a wrong address (even 256 bytes off) shows.
uint8_t FillerByte(uint32_t address) {
    return static_cast<uint8_t>(address % 251 + 1);
}

void PutPointer(RadioMemory& memory, uint32_t at, uint16_t value) {
    memory[at] = static_cast<uint8_t>(value >> 8);
    memory[at + 1] = static_cast<uint8_t>(value);
}

void BuildRecord(RadioMemory& memory) {
    const uint32_t at = DefaultLayout::kRecordAddress;
    const uint32_t n = DefaultLayout::kRecordLength;
    memory[at + kRecordLengthAt] = static_cast<uint8_t>(n);
    memory[at + kRecordFixedByteAt] = 0x33;
    memory[at + kRecordSquelchAt] = DefaultLayout::kSquelchByte;
    memory[at + RecordChecksumAt(n)] = RecordChecksum(memory, at);
}

void BuildPotVector(RadioMemory& memory) {
    const uint32_t at = DefaultLayout::kPotVectorAddress;
    memory[at + kPotVectorSettingAt] = DefaultLayout::kSquelchValue * 16;
    memory[at + kPotVectorChecksumAt] = VectorChecksum(memory, at);
}

} // namespace

RadioMemory MakeDefaultRadio() {
    RadioMemory memory;
    for (uint32_t address = 0; address < kMemorySize; ++address) {
        memory[address] = FillerByte(address);
    }
    PutPointer(memory, kIndexPointerAt, DefaultLayout::kIndexAddress);
    PutPointer(memory, kPotVectorPointerAt, DefaultLayout::kPotVectorAddress);
    PutPointer(memory, DefaultLayout::kIndexAddress + kRecordPointerAt,
               DefaultLayout::kRecordAddress);
    BuildRecord(memory);
    BuildPotVector(memory);
    return memory;
}

} // namespace radiosim

#include "radiosim/default_radio.h"

#include "radiosim/layout_check.h"

namespace radiosim {
namespace {

void PutPointer(RadioMemory& memory, uint32_t at, uint16_t value) {
    memory[at] = static_cast<uint8_t>(value >> 8);
    memory[at + 1] = static_cast<uint8_t>(value);
}

void BuildRecord(RadioMemory& memory) {
    const uint32_t at = DefaultLayout::kRecordAddress;
    const uint32_t n = DefaultLayout::kRecordLength;
    memory[at] = static_cast<uint8_t>(n);
    memory[at + 1] = 0x33;
    memory[at + 22] = DefaultLayout::kSquelchByte;
    memory[at + n + 4] = SumMinus55(memory.data() + at + 4, n, memory[at + 1]);
}

void BuildPotVector(RadioMemory& memory) {
    const uint32_t at = DefaultLayout::kPotVectorAddress;
    memory[at + 7] = DefaultLayout::kSquelchValue * 16;
    memory[at + 13] = SumMinus55(memory.data() + at, 13);
}

} // namespace

uint8_t FillerByte(uint32_t address) {
    return static_cast<uint8_t>(address % 251 + 1);
}

RadioMemory MakeDefaultRadio() {
    RadioMemory memory;
    for (uint32_t address = 0; address < kMemorySize; ++address) {
        memory[address] = FillerByte(address);
    }
    PutPointer(memory, 2, DefaultLayout::kIndexAddress);
    PutPointer(memory, 39, DefaultLayout::kPotVectorAddress);
    PutPointer(memory, DefaultLayout::kIndexAddress + 52, DefaultLayout::kRecordAddress);
    BuildRecord(memory);
    BuildPotVector(memory);
    return memory;
}

} // namespace radiosim

// The radio's memory layout: the blocks, pointers and squelch fields that Hushwell reads and
// writes, the two checksums, and RadioImage, the program's copy of what a read found.
// Portable: no Windows dependency.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace radio {

namespace layout {

// The program reads radio memory in pieces of 32 bytes; a 64-byte block is two pieces.
constexpr uint32_t kPieceSize = 32;

// Root block: 64 bytes at address 0.
constexpr uint32_t kRootAddress = 0;
constexpr size_t kRootIndexPointer = 2;   // bytes 2-3, big-endian
constexpr size_t kRootVectorPointer = 39; // bytes 39-40, big-endian

// Index block: 64 bytes at indexAddress.
constexpr size_t kIndexRecordPointer = 52; // bytes 52-53, big-endian

// Squelch record: length N at byte 0, checksum at byte N + 4.
constexpr size_t kRecordLength = 0;
constexpr size_t kRecordFixedByte = 1; // the image always holds 0x33 here after a read
constexpr uint8_t kRecordFixedByteValue = 0x33;
constexpr size_t kRecordBodyStart = 4;
constexpr size_t kSquelchByte = 22;
constexpr uint32_t kMinWritableRecordLength = 28; // checksum at 32, first byte of piece two
constexpr uint32_t kMaxWritableRecordLength = 59; // checksum at 63, last byte read

// Squelch pot vector: 14 bytes at potVectorAddress.
constexpr size_t kVectorDataBytes = 13; // bytes 0-12 are covered by the checksum
constexpr size_t kVectorChecksum = 13;
constexpr size_t kVectorSize = 14;
constexpr size_t kPotSetting = 7;
constexpr uint32_t kVectorAddressAbove = 64; // accepted: 64 < address < 640
constexpr uint32_t kVectorAddressBelow = 640;

constexpr unsigned kImageEntries = 100;

} // namespace layout

// The program's one copy of the radio blocks and the addresses a read found. Every array entry
// holds one byte of radio memory, widened to 32 bits without sign.
struct RadioImage {
    uint32_t blockScratch[layout::kImageEntries];   // root block, then index block
    uint32_t recordImage[layout::kImageEntries];    // squelch record bytes 0-63
    uint32_t potVectorImage[layout::kImageEntries]; // pot vector bytes 0-31
    uint32_t transferAddress;                       // address of the transfer under way
    uint32_t potVectorAddress;
    uint32_t indexAddress;
    uint32_t recordAddress;
    uint32_t recordEndIndex; // N + 4, set by the write
    uint8_t squelchByte;     // record byte 22 as the read found it
};

// (sum of the covered bytes - 0x55) mod 256: no complement, no carry folded back.
constexpr uint8_t SumMinus55(uint32_t byteSum) {
    return static_cast<uint8_t>(byteSum - 0x55u);
}

// Sum of the low bytes of entries[first..last], inclusive.
uint32_t SumLowBytes(const uint32_t* entries, size_t first, size_t last);

// A big-endian 16-bit pointer held in two consecutive entries, high byte first.
uint32_t DecodePointer(const uint32_t* entries, size_t highIndex);

bool IsVectorAddressAccepted(uint32_t potVectorAddress);
bool IsRecordLengthWritable(uint32_t recordLength);

// SumMinus55 over record byte 1 and bytes 4 to N + 3. Empty when N + 4 lies beyond the 64
// bytes a read fetches, where no checksum can be computed from the image.
std::optional<uint8_t> RecordChecksum(const RadioImage& image);

// SumMinus55 over vector bytes 0 to 12.
uint8_t VectorChecksum(const RadioImage& image);

// The squelch value lives in bits 0-3 of the record's squelch byte.
constexpr uint32_t SquelchValueOf(uint32_t squelchByte) {
    return squelchByte & 0x0Fu;
}

// The record's squelch byte as a write composes it: bits 5-7 kept, bit 4 set, bits 0-3 the value.
constexpr uint32_t PackSquelchByte(uint32_t oldByte, uint32_t value) {
    return (oldByte & 0xE0u) | (value & 0x0Fu) | 0x10u;
}

// The vector's squelch pot setting holds the value in bits 4-7.
constexpr uint32_t PotSettingFor(uint32_t value) {
    return (value & 0x0Fu) << 4;
}

} // namespace radio

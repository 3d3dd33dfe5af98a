// The built-in radio, checked from its bytes alone: pointers followed by hand, checksums
// summed here rather than with the simulator's own code.
#include "radiosim/default_radio.h"

#include <gtest/gtest.h>

namespace {

using radiosim::RadioMemory;

uint32_t BigEndian16(const RadioMemory& memory, uint32_t at) {
    return (uint32_t{memory[at]} << 8) | memory[at + 1];
}

uint8_t SumOf(const RadioMemory& memory, uint32_t from, uint32_t to) {
    unsigned sum = 0;
    for (uint32_t at = from; at <= to; ++at) {
        sum += memory[at];
    }
    return static_cast<uint8_t>(sum);
}

class DefaultRadio : public ::testing::Test {
protected:
    const RadioMemory memory = radiosim::MakeDefaultRadio();
    const uint32_t index = BigEndian16(memory, 2);
    const uint32_t vector = BigEndian16(memory, 39);
    const uint32_t record = BigEndian16(memory, index + 52);
};

TEST_F(DefaultRadio, PointersLeadToBlocksThatDoNotOverlap) {
    EXPECT_EQ(0x0120u, index);
    EXPECT_EQ(0x00A0u, vector);
    EXPECT_EQ(0x0240u, record);
    // Root 0..63, vector 14 bytes, index 64 bytes, record 64 bytes as read.
    struct Span {
        uint32_t from, size;
    };
    const Span spans[] = {{0, 64}, {vector, 32}, {index, 64}, {record, 64}};
    for (const Span& a : spans) {
        for (const Span& b : spans) {
            if (&a != &b) {
                EXPECT_TRUE(a.from + a.size <= b.from || b.from + b.size <= a.from)
                    << a.from << " overlaps " << b.from;
            }
        }
    }
}

TEST_F(DefaultRadio, SquelchRecordHoldsTheFactoryValueAndAValidChecksum) {
    const uint32_t n = memory[record];
    ASSERT_GE(n, 28u);
    ASSERT_LE(n, 59u);
    EXPECT_EQ(8, memory[record + 22] & 0x0F);
    // Byte 1 and bytes 4 to N + 3, minus 0x55.
    const uint8_t expected =
        static_cast<uint8_t>(memory[record + 1] + SumOf(memory, record + 4, record + n + 3) - 0x55);
    EXPECT_EQ(expected, memory[record + n + 4]);
}

TEST_F(DefaultRadio, PotVectorHoldsTheFactoryValueAndAValidChecksum) {
    ASSERT_GT(vector, 64u);
    ASSERT_LT(vector, 640u);
    EXPECT_EQ(0x80, memory[vector + 7]);
    EXPECT_EQ(static_cast<uint8_t>(SumOf(memory, vector, vector + 12) - 0x55), memory[vector + 13]);
}

TEST_F(DefaultRadio, EveryOtherByteIsTheNonZeroFiller) {
    size_t fillerBytes = 0;
    for (uint32_t at = 0; at < radiosim::kMemorySize; ++at) {
        if (memory[at] == radiosim::FillerByte(at)) {
            ++fillerBytes;
        }
    }
    // Only the pointers, N, byte 1, the squelch byte, the vector byte 7 and the two checksums
    // differ (some of them may match the filler by chance).
    EXPECT_GE(fillerBytes, radiosim::kMemorySize - 12);
    for (uint32_t at = 0; at < radiosim::kMemorySize; ++at) {
        EXPECT_NE(0, radiosim::FillerByte(at)) << at;
    }
    // The filler does not repeat every 256 bytes: a read 256 bytes off shows.
    EXPECT_NE(radiosim::FillerByte(0x1000), radiosim::FillerByte(0x1100));
}

} // namespace

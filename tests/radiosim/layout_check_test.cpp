#include "radiosim/layout_check.h"

#include <gtest/gtest.h>

#include "radiosim/default_radio.h"

namespace {

using radiosim::CheckLayout;
using radiosim::DefaultLayout;
using radiosim::RadioMemory;

TEST(SumMinus55, WorkedExamples) {
    const uint8_t vector[13] = {0x21, 0x40, 0x9C, 0x00, 0x00, 0x12, 0x00,
                                0x80, 0x00, 0x7F, 0x00, 0x05, 0x00};
    EXPECT_EQ(0xBE, radiosim::SumMinus55(vector, 13));
    const uint8_t coveredToZero[2] = {0x50, 0x05};
    EXPECT_EQ(0x00, radiosim::SumMinus55(coveredToZero, 2));
    const uint8_t zeros[5] = {};
    EXPECT_EQ(0xAB, radiosim::SumMinus55(zeros, 5));
    EXPECT_EQ(0xAB + 0x33, radiosim::SumMinus55(zeros, 5, 0x33));
}

TEST(LayoutCheck, TheRecordChecksumWorkedExample) {
    // N = 30 at 0x0240: byte 1 = 33, bytes 2 and 3 = AA BB, byte 4 = 01, byte 22 = 9A,
    // byte 33 = FF, everything else from 5 to 33 zero; the checksum at byte 34 is 78.
    RadioMemory memory = radiosim::MakeDefaultRadio();
    const uint32_t at = DefaultLayout::kRecordAddress;
    for (uint32_t i = 0; i <= 34; ++i) {
        memory[at + i] = 0;
    }
    memory[at] = 30;
    memory[at + 1] = 0x33;
    memory[at + 2] = 0xAA;
    memory[at + 3] = 0xBB;
    memory[at + 4] = 0x01;
    memory[at + 22] = 0x9A;
    memory[at + 33] = 0xFF;
    memory[at + 34] = 0x78;
    EXPECT_TRUE(CheckLayout(memory).recordOk);
    memory[at + 34] = 0x77;
    EXPECT_FALSE(CheckLayout(memory).recordOk);
}

TEST(LayoutCheck, SeesWhichBlockABrokenByteBelongsTo) {
    struct Case {
        const char* name;
        uint32_t address;
        bool recordOk;
        bool vectorOk;
    };
    const uint32_t record = DefaultLayout::kRecordAddress;
    const uint32_t vector = DefaultLayout::kPotVectorAddress;
    const uint32_t n = DefaultLayout::kRecordLength;
    const Case cases[] = {
        {"squelch byte", record + 22, false, true},
        {"record byte 1", record + 1, false, true},
        {"record byte 2 (not covered)", record + 2, true, true},
        {"record byte 3 (not covered)", record + 3, true, true},
        {"record checksum", record + n + 4, false, true},
        {"past the record", record + n + 5, true, true},
        {"record length", record, false, true},
        {"vector pot setting", vector + 7, true, false},
        {"vector checksum", vector + 13, true, false},
        {"past the vector", vector + 14, true, true},
        {"index pointer", 3, false, true},
        {"vector pointer", 40, true, false},
    };
    ASSERT_TRUE(CheckLayout(radiosim::MakeDefaultRadio()).Consistent());
    for (const Case& c : cases) {
        RadioMemory memory = radiosim::MakeDefaultRadio();
        memory[c.address] ^= 0x01;
        const radiosim::LayoutCheck check = CheckLayout(memory);
        EXPECT_EQ(c.recordOk, check.recordOk) << c.name;
        EXPECT_EQ(c.vectorOk, check.vectorOk) << c.name;
    }
}

TEST(LayoutCheck, RefusesBlocksOutsideTheirLimits) {
    RadioMemory memory = radiosim::MakeDefaultRadio();
    // The vector must lie at 65 to 639.
    for (uint32_t address : {0u, 64u, 640u, 0xFFFFu}) {
        memory[39] = static_cast<uint8_t>(address >> 8);
        memory[40] = static_cast<uint8_t>(address);
        EXPECT_FALSE(CheckLayout(memory).vectorOk) << address;
    }
    // An index block whose record pointer lies past the memory.
    memory[2] = 0xFF;
    memory[3] = 0xFF;
    EXPECT_FALSE(CheckLayout(memory).recordOk);
}

TEST(LayoutCheck, RefusesARecordLengthOutside28To59) {
    for (uint8_t n : {27, 60}) {
        RadioMemory memory = radiosim::MakeDefaultRadio();
        const uint32_t at = DefaultLayout::kRecordAddress;
        memory[at] = n;
        memory[at + n + 4] = radiosim::SumMinus55(memory.data() + at + 4, n, memory[at + 1]);
        EXPECT_FALSE(CheckLayout(memory).recordOk) << int{n};
    }
}

} // namespace

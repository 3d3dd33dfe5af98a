// The memory layout's computations, from the worked examples and the limits where an
// off-by-one would show.
#include "radio/radio_layout.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

RadioImage ZeroImage() {
    RadioImage image{};
    return image;
}

void Put(uint32_t* entries, size_t at, std::initializer_list<uint32_t> bytes) {
    for (uint32_t b : bytes) {
        entries[at++] = b;
    }
}

TEST(SumMinus55, SubtractsWithoutComplementOrCarry) {
    struct Case {
        uint32_t sum;
        uint8_t expected;
    };
    for (const Case& c : {Case{0x55, 0x00}, Case{0x00, 0xAB}, Case{0x213, 0xBE}, Case{0x1CD, 0x78},
                          Case{0x54, 0xFF}, Case{0x155, 0x00}}) {
        EXPECT_EQ(SumMinus55(c.sum), c.expected) << "sum " << std::hex << c.sum;
    }
}

TEST(DecodePointer, HighByteComesFirst) {
    uint32_t entries[4] = {0x01, 0x20, 0xFF, 0xFF};
    EXPECT_EQ(DecodePointer(entries, 0), 288u); // 0x0120, not 0x2001
    EXPECT_EQ(DecodePointer(entries, 2), 65535u);
}

TEST(VectorAddress, AcceptedStrictlyBetween64And640) {
    struct Case {
        uint32_t address;
        bool accepted;
    };
    for (const Case& c : {Case{0, false}, Case{64, false}, Case{65, true}, Case{160, true},
                          Case{639, true}, Case{640, false}, Case{65535, false}}) {
        EXPECT_EQ(IsVectorAddressAccepted(c.address), c.accepted) << c.address;
    }
}

TEST(RecordLength, WritableFrom28To59) {
    struct Case {
        uint32_t n;
        bool writable;
    };
    for (const Case& c : {Case{0, false}, Case{27, false}, Case{28, true}, Case{30, true},
                          Case{59, true}, Case{60, false}, Case{255, false}}) {
        EXPECT_EQ(IsRecordLengthWritable(c.n), c.writable) << c.n;
    }
}

TEST(VectorChecksum, WorkedExamples) {
    RadioImage image = ZeroImage();
    Put(image.potVectorImage, 0,
        {0x21, 0x40, 0x9C, 0x00, 0x00, 0x12, 0x00, 0x80, 0x00, 0x7F, 0x00, 0x05, 0x00});
    EXPECT_EQ(VectorChecksum(image), 0xBE);

    Put(image.potVectorImage, 0,
        {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x80, 0x09, 0x0A, 0x0B, 0x0C, 0x0D});
    EXPECT_EQ(VectorChecksum(image), 0x7E);
}

TEST(VectorChecksum, CoversBytes0To12Only) {
    RadioImage image = ZeroImage();
    EXPECT_EQ(VectorChecksum(image), 0xAB);
    image.potVectorImage[13] = 0x42; // the checksum byte itself
    image.potVectorImage[14] = 0x42; // read with the vector, not part of it
    EXPECT_EQ(VectorChecksum(image), 0xAB);
    image.potVectorImage[12] = 0x01;
    EXPECT_EQ(VectorChecksum(image), 0xAC);
}

// Record of the worked example: N = 30, checksum 0x78 at byte 34.
RadioImage WorkedRecord() {
    RadioImage image = ZeroImage();
    Put(image.recordImage, 0, {0x1E, 0x33, 0xAA, 0xBB, 0x01});
    image.recordImage[22] = 0x9A;
    image.recordImage[33] = 0xFF;
    return image;
}

TEST(RecordChecksum, WorkedExample) {
    const RadioImage image = WorkedRecord();
    ASSERT_TRUE(RecordChecksum(image).has_value());
    EXPECT_EQ(*RecordChecksum(image), 0x78);
    EXPECT_EQ(SquelchValueOf(image.recordImage[22]), 10u);
}

TEST(RecordChecksum, CoversByte1AndBody) {
    struct Case {
        const char* what;
        size_t index;
        bool changes;
    };
    for (const Case& c : {Case{"byte 1", 1, true}, Case{"byte 2", 2, false},
                          Case{"byte 3", 3, false}, Case{"first body byte", 4, true},
                          Case{"squelch byte", 22, true}, Case{"last body byte N+3", 33, true},
                          Case{"checksum byte N+4", 34, false}, Case{"after N+4", 35, false},
                          Case{"byte 63", 63, false}}) {
        RadioImage image = WorkedRecord();
        const uint8_t before = *RecordChecksum(image);
        image.recordImage[c.index] ^= 0x01;
        EXPECT_EQ(*RecordChecksum(image) != before, c.changes) << c.what;
    }
}

TEST(RecordChecksum, LengthMovesTheCoveredRange) {
    RadioImage image = WorkedRecord();
    image.recordImage[0] = 0x1C; // N = 28: body 4..31, byte 33 no longer covered
    EXPECT_EQ(*RecordChecksum(image), static_cast<uint8_t>(0x33 + 0x01 + 0x9A - 0x55));

    RadioImage lastByte = ZeroImage();
    lastByte.recordImage[0] = 59;
    lastByte.recordImage[62] = 0x10; // N + 3 = 62, covered
    lastByte.recordImage[63] = 0x77; // N + 4 = 63, the checksum position
    EXPECT_EQ(*RecordChecksum(lastByte), static_cast<uint8_t>(0x10 - 0x55));
}

TEST(RecordChecksum, NoChecksumBeyondTheBytesRead) {
    RadioImage image = ZeroImage();
    image.recordImage[0] = 60;
    EXPECT_FALSE(RecordChecksum(image).has_value());
    image.recordImage[0] = 255;
    EXPECT_FALSE(RecordChecksum(image).has_value());
}

TEST(SquelchFields, ValueAndPacking) {
    EXPECT_EQ(SquelchValueOf(0xFA), 10u);
    EXPECT_EQ(SquelchValueOf(0x0A), 10u);

    struct Pack {
        uint32_t old, value, expected;
    };
    for (const Pack& p : {Pack{0xA5, 3, 0xB3}, Pack{0xE3, 8, 0xF8}, Pack{0x00, 0, 0x10},
                          Pack{0xFF, 0, 0xF0}, Pack{0xFF, 15, 0xFF}, Pack{0x0F, 15, 0x1F}}) {
        EXPECT_EQ(PackSquelchByte(p.old, p.value), p.expected)
            << std::hex << p.old << " with " << p.value;
    }
    EXPECT_EQ(PotSettingFor(0), 0x00u);
    EXPECT_EQ(PotSettingFor(8), 0x80u);
    EXPECT_EQ(PotSettingFor(15), 0xF0u);
}

TEST(RadioImage, FieldsInTheirOrder) {
    // The image is three 100-entry arrays, then the addresses and the squelch byte.
    EXPECT_EQ(offsetof(RadioImage, recordImage), 400u);
    EXPECT_EQ(offsetof(RadioImage, potVectorImage), 800u);
    EXPECT_EQ(offsetof(RadioImage, transferAddress), 1200u);
    EXPECT_EQ(offsetof(RadioImage, potVectorAddress), 1204u);
    EXPECT_EQ(offsetof(RadioImage, indexAddress), 1208u);
    EXPECT_EQ(offsetof(RadioImage, recordAddress), 1212u);
    EXPECT_EQ(offsetof(RadioImage, recordEndIndex), 1216u);
    EXPECT_EQ(offsetof(RadioImage, squelchByte), 1220u);
}

} // namespace

#include "protocol/frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "frame_bytes.h"

namespace {

using namespace frametest;
using proto::DecodeResult;
using proto::FrameType;

Bytes Counting(size_t count, uint8_t first) {
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<uint8_t>(first + i);
    }
    return bytes;
}

void ExpectSameFrame(const proto::Frame& expected, const proto::Frame& actual) {
    EXPECT_EQ(expected.type, actual.type);
    EXPECT_EQ(expected.sequence, actual.sequence);
    EXPECT_EQ(expected.address, actual.address);
    ASSERT_EQ(expected.length, actual.length);
    EXPECT_EQ(0, std::memcmp(expected.payload, actual.payload, expected.length));
}

TEST(Frame, KnowsExactlyTheSevenTypes) {
    const uint8_t known[] = {0x01, 0x02, 0x03, 0x81, 0x82, 0x83, 0xFF};
    for (int type = 0; type < 256; ++type) {
        const bool expected = std::count(std::begin(known), std::end(known), type) == 1;
        EXPECT_EQ(expected, proto::IsKnownFrameType(static_cast<uint8_t>(type))) << type;
    }
}

// The worked frame of docs/protocol.md: a read of 32 bytes at 0x0120 with sequence 5.
TEST(Frame, EncodesTheDocumentedReadByteForByte) {
    const proto::Frame read = MakeFrame(FrameType::Read, 5, 0x0120, {0x20});
    const Bytes raw = WithCrc({0x02, 0x05, 0x00, 0x00, 0x01, 0x20, 0x01, 0x20});
    EXPECT_EQ(Bytes({0x02, 0x05, 0x00, 0x00, 0x01, 0x20, 0x01, 0x20, 0xD7, 0xBB, 0xC7, 0xBF}), raw);
    EXPECT_EQ(
        Bytes({0x03, 0x02, 0x05, 0x01, 0x09, 0x01, 0x20, 0x01, 0x20, 0xD7, 0xBB, 0xC7, 0xBF, 0x00}),
        Encoded(read));
}

// ... and the built-in radio's answer to it: 32 bytes of its filler (address % 251 + 1).
TEST(Frame, EncodesTheDocumentedReplyByteForByte) {
    Bytes data;
    for (uint32_t address = 0x0120; address < 0x0140; ++address) {
        data.push_back(static_cast<uint8_t>(address % 251 + 1));
    }
    Bytes expected = {0x03, 0x82, 0x05, 0x01, 0x28, 0x01, 0x20, 0x20};
    expected.insert(expected.end(), data.begin(), data.end());
    for (uint8_t byte : {0x61, 0x20, 0x80, 0x65, 0x00}) {
        expected.push_back(byte);
    }
    EXPECT_EQ(expected, Encoded(MakeFrame(FrameType::ReadData, 5, 0x0120, data)));
}

TEST(Frame, RoundTripsEveryTypeAndPayloadSize) {
    struct Case {
        FrameType type;
        uint32_t address;
        size_t length;
    };
    const Case cases[] = {
        {FrameType::Command, 0, 5},        {FrameType::Read, 0x0120, 1},
        {FrameType::Read, 0xFFFFFFFF, 1},  {FrameType::Write, 0x00A0, 14},
        {FrameType::Write, 0x0240, 64},    {FrameType::CommandAck, 0, 0},
        {FrameType::ReadData, 0x0120, 32}, {FrameType::ReadData, 0xFFE0, 64},
        {FrameType::WriteAck, 0x0240, 5},  {FrameType::Nak, 0x10000, 1},
    };
    uint8_t sequence = 0;
    for (const Case& c : cases) {
        // Payloads that run through zero, so stuffing has work to do.
        const proto::Frame frame =
            MakeFrame(c.type, sequence += 37, c.address, Counting(c.length, 0xF0));
        const Bytes encoded = Encoded(frame);
        ASSERT_FALSE(encoded.empty());
        EXPECT_EQ(0, encoded.back());
        EXPECT_EQ(1, std::count(encoded.begin(), encoded.end(), 0));
        EXPECT_LE(encoded.size(), proto::kMaxEncodedFrame);

        proto::Frame decoded;
        ASSERT_EQ(DecodeResult::Ok, Decode(Bytes(encoded.begin(), encoded.end() - 1), decoded));
        ExpectSameFrame(frame, decoded);
    }
}

TEST(Frame, LargestFrameFitsTheBufferBound) {
    const proto::Frame frame = MakeFrame(FrameType::Write, 1, 0, Bytes(64, 0xAA));
    // Below 254 bytes stuffing adds one byte; the delimiter is the other.
    EXPECT_EQ(proto::kMaxRawFrame + 2, Encoded(frame).size());
    EXPECT_EQ(proto::kMaxEncodedFrame, Encoded(frame).size());
}

TEST(Frame, EncodeRefusesAnOversizedPayloadOrAShortBuffer) {
    proto::Frame frame = MakeFrame(FrameType::Write, 1, 0, Bytes(64, 0x11));
    frame.length = 65;
    uint8_t out[proto::kMaxEncodedFrame + 10];
    EXPECT_EQ(0u, proto::EncodeFrame(frame, out, sizeof out));

    frame.length = 64;
    const size_t needed = proto::EncodeFrame(frame, out, sizeof out);
    ASSERT_GT(needed, 0u);
    // The bound is the worst case of the stuffing, plus the delimiter.
    EXPECT_EQ(0u, proto::EncodeFrame(frame, out, proto::kMaxEncodedFrame - 1));
    EXPECT_EQ(needed, proto::EncodeFrame(frame, out, proto::kMaxEncodedFrame));
    EXPECT_EQ(0u, proto::EncodeFrame(frame, out, 0));
}

TEST(Frame, DecodeClearsPayloadBytesPastTheLength) {
    proto::Frame decoded;
    std::memset(decoded.payload, 0x77, sizeof decoded.payload);
    const Bytes encoded = Encoded(MakeFrame(FrameType::Nak, 9, 4, {0x02}));
    ASSERT_EQ(DecodeResult::Ok, Decode(Bytes(encoded.begin(), encoded.end() - 1), decoded));
    EXPECT_EQ(0x02, decoded.payload[0]);
    EXPECT_TRUE(std::all_of(decoded.payload + 1, decoded.payload + proto::kMaxPayload,
                            [](uint8_t b) { return b == 0; }));
}

TEST(Frame, ResultNamesAreDistinct) {
    const DecodeResult all[] = {
        DecodeResult::Ok,         DecodeResult::BadStuffing,    DecodeResult::TooShort,
        DecodeResult::TooLong,    DecodeResult::LengthMismatch, DecodeResult::BadCrc,
        DecodeResult::UnknownType};
    EXPECT_STREQ("bad_crc", proto::DecodeResultName(DecodeResult::BadCrc));
    for (DecodeResult a : all) {
        for (DecodeResult b : all) {
            if (a != b) {
                EXPECT_STRNE(proto::DecodeResultName(a), proto::DecodeResultName(b));
            }
        }
    }
}

} // namespace

#include "protocol/messages.h"

#include <gtest/gtest.h>

#include <cstring>

#include "protocol/crc32.h"
#include "protocol/link_timing.h"

namespace {

using proto::Frame;
using proto::FrameType;

TEST(Messages, RequestsCarryTheirFields) {
    const uint8_t command[] = {0x00, 0x12, 0x01, 0x06, 0x00};
    Frame frame;
    ASSERT_TRUE(proto::MakeCommandFrame(3, command, sizeof command, frame));
    EXPECT_EQ(FrameType::Command, frame.type);
    EXPECT_EQ(3, frame.sequence);
    EXPECT_EQ(0u, frame.address);
    ASSERT_EQ(5, frame.length);
    EXPECT_EQ(0, std::memcmp(command, frame.payload, 5));

    ASSERT_TRUE(proto::MakeReadFrame(4, 0x0240, 32, frame));
    EXPECT_EQ(FrameType::Read, frame.type);
    EXPECT_EQ(4, frame.sequence);
    EXPECT_EQ(0x0240u, frame.address);
    ASSERT_EQ(1, frame.length);
    EXPECT_EQ(32, frame.payload[0]);

    const uint8_t bytes[14] = {1, 2, 3, 4, 5, 6, 7, 0x80, 9, 10, 11, 12, 13, 0x7E};
    ASSERT_TRUE(proto::MakeWriteFrame(5, 0x00A0, bytes, sizeof bytes, frame));
    EXPECT_EQ(FrameType::Write, frame.type);
    EXPECT_EQ(0x00A0u, frame.address);
    ASSERT_EQ(14, frame.length);
    EXPECT_EQ(0, std::memcmp(bytes, frame.payload, 14));
}

TEST(Messages, RequestBuildersRefuseCountsOutside1To64) {
    const uint8_t bytes[65] = {};
    Frame frame;
    frame.sequence = 77;
    for (size_t count : {size_t{0}, size_t{65}}) {
        EXPECT_FALSE(proto::MakeCommandFrame(1, bytes, count, frame)) << count;
        EXPECT_FALSE(proto::MakeReadFrame(1, 0, count, frame)) << count;
        EXPECT_FALSE(proto::MakeWriteFrame(1, 0, bytes, count, frame)) << count;
        EXPECT_EQ(77, frame.sequence);
    }
    EXPECT_TRUE(proto::MakeReadFrame(1, 0, 64, frame));
    EXPECT_TRUE(proto::MakeWriteFrame(1, 0, bytes, 64, frame));
}

TEST(Messages, RepliesEchoSequenceAndAddress) {
    Frame request;
    ASSERT_TRUE(proto::MakeReadFrame(200, 0xFFE0, 32, request));
    const uint8_t data[3] = {0xAA, 0x00, 0xBB};

    const Frame replies[] = {proto::MakeCommandAck(request), proto::MakeReadData(request, data, 3),
                             proto::MakeWriteAck(request, 32, 0x01020304),
                             proto::MakeNak(request, proto::NakReason::AddressOutOfRange)};
    const FrameType types[] = {FrameType::CommandAck, FrameType::ReadData, FrameType::WriteAck,
                               FrameType::Nak};
    const uint8_t lengths[] = {0, 3, 5, 1};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(types[i], replies[i].type);
        EXPECT_EQ(200, replies[i].sequence);
        EXPECT_EQ(0xFFE0u, replies[i].address);
        EXPECT_EQ(lengths[i], replies[i].length);
    }
    EXPECT_EQ(0, std::memcmp(data, replies[1].payload, 3));
    const uint8_t ack[] = {32, 0x01, 0x02, 0x03, 0x04};
    EXPECT_EQ(0, std::memcmp(ack, replies[2].payload, 5));
    EXPECT_EQ(0x02, replies[3].payload[0]);
}

TEST(Messages, WriteAckParsesBackAndMatchesTheWrittenBytes) {
    const uint8_t bytes[] = {0x2A, 0x33, 0x00, 0x99};
    Frame write;
    ASSERT_TRUE(proto::MakeWriteFrame(1, 0x0240, bytes, sizeof bytes, write));
    EXPECT_EQ(proto::Crc32(bytes, sizeof bytes), proto::WriteCrc(write));

    const Frame ack = proto::MakeWriteAck(write, 4, proto::WriteCrc(write));
    uint8_t count = 0;
    uint32_t crc = 0;
    ASSERT_TRUE(proto::ParseWriteAck(ack, count, crc));
    EXPECT_EQ(4, count);
    EXPECT_EQ(proto::WriteCrc(write), crc);

    Frame shortAck = ack;
    shortAck.length = 4;
    EXPECT_FALSE(proto::ParseWriteAck(shortAck, count, crc));
}

TEST(Messages, SameFrameComparesEveryFieldButIgnoresBytesPastTheLength) {
    Frame a;
    ASSERT_TRUE(proto::MakeReadFrame(9, 0x20, 32, a));
    Frame b = a;
    b.payload[10] = 0x55; // past the length
    EXPECT_TRUE(proto::SameFrame(a, b));

    Frame differs[5] = {a, a, a, a, a};
    differs[0].type = FrameType::Write;
    differs[1].sequence = 10;
    differs[2].address = 0x21;
    differs[3].length = 2;
    differs[4].payload[0] = 31;
    for (const Frame& d : differs) {
        EXPECT_FALSE(proto::SameFrame(a, d));
    }
}

TEST(Messages, NamesForTheLog) {
    EXPECT_STREQ("read_data", proto::FrameTypeName(FrameType::ReadData));
    EXPECT_STREQ("not_in_programming_mode",
                 proto::NakReasonName(proto::NakReason::NotInProgrammingMode));
    EXPECT_STREQ("unknown", proto::FrameTypeName(static_cast<FrameType>(0x42)));
}

// The documented bound: three attempts at the slowest reply (64 data bytes) and the slowest
// request, at 9600 baud, end within two seconds.
TEST(LinkTiming, ThreeAttemptsFitTheExchangeBound) {
    const size_t largestFrame = proto::kMaxEncodedFrame;
    EXPECT_EQ(81u, proto::LineTimeMs(largestFrame, proto::kLineBaud));
    const uint32_t worst =
        proto::kAttempts * (proto::LineTimeMs(largestFrame, proto::kLineBaud) +
                            proto::AttemptTimeoutMs(largestFrame, proto::kLineBaud));
    EXPECT_LE(worst, proto::kExchangeBoundMs);
    EXPECT_EQ(0u, proto::LineTimeMs(100, 0));
}

} // namespace

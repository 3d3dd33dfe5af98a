#include "radiosim/outgoing_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using radiosim::OutgoingLine;
using namespace std::chrono;
using Bytes = std::vector<uint8_t>;

const OutgoingLine::Clock::time_point kStart = OutgoingLine::Clock::time_point(seconds(1000));

size_t DueAt(const OutgoingLine& line, OutgoingLine::Clock::duration after) {
    uint8_t buffer[256];
    return line.PeekDue(kStart + after, buffer, sizeof buffer);
}

TEST(OutgoingLine, At9600BaudEachByteTakesTenBitTimes) {
    OutgoingLine line(9600);
    line.Enqueue(Bytes(45, 0x11), kStart, milliseconds(0));
    const nanoseconds byteTime(1041666); // 10 bits at 9600 baud
    EXPECT_EQ(0u, DueAt(line, nanoseconds(0)));
    EXPECT_EQ(0u, DueAt(line, byteTime - nanoseconds(1)));
    EXPECT_EQ(1u, DueAt(line, byteTime));
    EXPECT_EQ(10u, DueAt(line, byteTime * 10));
    EXPECT_EQ(44u, DueAt(line, byteTime * 45 - nanoseconds(1)));
    EXPECT_EQ(45u, DueAt(line, byteTime * 45)); // a 45-byte reply takes about 46.9 ms
    EXPECT_EQ(kStart + byteTime, line.NextDue());
}

TEST(OutgoingLine, AHeldReplyStartsAfterItsHold) {
    OutgoingLine line(9600);
    line.Enqueue(Bytes(3, 0x22), kStart, milliseconds(500));
    EXPECT_EQ(0u, DueAt(line, milliseconds(500)));
    EXPECT_EQ(1u, DueAt(line, milliseconds(500) + nanoseconds(1041666)));
}

TEST(OutgoingLine, ALaterReplyQueuesBehindTheOneOnTheLine) {
    OutgoingLine line(1000); // 10 ms a byte
    line.Enqueue({0x01, 0x02}, kStart, milliseconds(0));
    line.Enqueue({0x03}, kStart + milliseconds(5), milliseconds(0));
    uint8_t buffer[4] = {};
    EXPECT_EQ(2u, line.PeekDue(kStart + milliseconds(20), buffer, sizeof buffer));
    EXPECT_EQ(3u, line.PeekDue(kStart + milliseconds(30), buffer, sizeof buffer));
    EXPECT_EQ(0x03, buffer[2]);
    // A reply queued once the line is idle again starts at once.
    line.Consume(3);
    EXPECT_TRUE(line.Empty());
    line.Enqueue({0x04}, kStart + seconds(1), milliseconds(0));
    EXPECT_EQ(kStart + seconds(1) + milliseconds(10), line.NextDue());
}

TEST(OutgoingLine, WithoutPacingEverythingIsDueAtOnce) {
    OutgoingLine line(0);
    line.Enqueue(Bytes(77, 0x33), kStart, milliseconds(0));
    EXPECT_EQ(77u, DueAt(line, nanoseconds(0)));
}

TEST(OutgoingLine, ConsumeTakesBytesFromTheFrontInOrder) {
    OutgoingLine line(0);
    line.Enqueue({0x0A, 0x0B, 0x0C}, kStart, milliseconds(0));
    line.Consume(1);
    uint8_t buffer[2] = {};
    // The buffer bounds the copy.
    EXPECT_EQ(2u, line.PeekDue(kStart, buffer, sizeof buffer));
    EXPECT_EQ(0x0B, buffer[0]);
    EXPECT_EQ(0x0C, buffer[1]);
    line.Consume(10);
    EXPECT_TRUE(line.Empty());
}

} // namespace

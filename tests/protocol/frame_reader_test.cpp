#include "protocol/frame.h"

#include <gtest/gtest.h>

#include <string>

#include "frame_bytes.h"

namespace {

using namespace frametest;
using proto::DecodeResult;
using proto::FrameType;

// What the reader reported, in order: "F<seq>" for a frame, "R:<reason>" for a rejected chunk.
std::string Events(proto::FrameReader& reader, const Bytes& bytes) {
    std::string events;
    for (uint8_t byte : bytes) {
        proto::Frame frame;
        DecodeResult reason = DecodeResult::Ok;
        switch (reader.Push(byte, frame, reason)) {
        case proto::FrameReader::Event::Frame:
            events += "F" + std::to_string(frame.sequence) + " ";
            break;
        case proto::FrameReader::Event::Rejected:
            events += std::string("R:") + proto::DecodeResultName(reason) + " ";
            break;
        case proto::FrameReader::Event::None:
            break;
        }
    }
    return events;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

const Bytes kRead5 = Encoded(MakeFrame(FrameType::Read, 5, 0x0120, {0x20}));
const Bytes kAck6 = Encoded(MakeFrame(FrameType::CommandAck, 6, 0, {}));

TEST(FrameReader, SplitsBackToBackFramesAndIgnoresEmptyChunks) {
    proto::FrameReader reader;
    EXPECT_EQ("F5 F6 F5 ", Events(reader, Concat({{0x00, 0x00}, kRead5, kAck6, {0x00}, kRead5})));
}

TEST(FrameReader, DeliversAFrameOnlyAtItsDelimiter) {
    proto::FrameReader reader;
    EXPECT_EQ("", Events(reader, Bytes(kRead5.begin(), kRead5.end() - 1)));
    EXPECT_EQ("F5 ", Events(reader, {0x00}));
}

TEST(FrameReader, ResynchronisesAfterNoise) {
    proto::FrameReader reader;
    // Noise glued to the front of a frame spoils that frame (here a stray 0x01 decodes as a
    // leading zero, which shifts the length byte); the next frame is read cleanly.
    EXPECT_EQ("R:length_mismatch F6 ", Events(reader, Concat({{0x01}, kRead5, kAck6})));
    // Noise ended by a delimiter of its own costs nothing.
    EXPECT_EQ("R:bad_stuffing F5 ", Events(reader, Concat({{0x05, 0x99, 0x00}, kRead5})));
}

TEST(FrameReader, DiscardsOverLongGarbageAndRecovers) {
    proto::FrameReader reader;
    const Bytes garbage(5000, 0x5A);
    EXPECT_EQ("R:too_long F5 ", Events(reader, Concat({garbage, {0x00}, kRead5})));
}

TEST(FrameReader, AcceptsTheLargestFrameButNotOneByteMore) {
    proto::FrameReader reader;
    const Bytes largest = Encoded(MakeFrame(FrameType::ReadData, 7, 0, Bytes(64, 0x42)));
    ASSERT_EQ(proto::kMaxEncodedFrame, largest.size());
    EXPECT_EQ("F7 ", Events(reader, largest));

    Bytes longer = largest;
    longer.insert(longer.begin(), 0x01);
    EXPECT_EQ("R:too_long F5 ", Events(reader, Concat({longer, kRead5})));
}

TEST(FrameReader, ResetDropsAPartialChunk) {
    proto::FrameReader reader;
    Events(reader, {0x11, 0x22, 0x33});
    reader.Reset();
    EXPECT_EQ("F5 ", Events(reader, kRead5));
}

} // namespace

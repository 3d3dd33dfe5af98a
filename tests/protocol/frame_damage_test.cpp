// Every kind of damage a frame can suffer on the line is rejected, with the right reason.
#include "protocol/frame.h"

#include <gtest/gtest.h>

#include "frame_bytes.h"

namespace {

using namespace frametest;
using proto::DecodeResult;
using proto::FrameType;

// Feeds bytes through a reader; counts the frames it accepts and the chunks it rejects.
struct ReaderTally {
    int frames = 0;
    int rejected = 0;
};

ReaderTally Feed(const Bytes& bytes) {
    proto::FrameReader reader;
    ReaderTally tally;
    for (uint8_t byte : bytes) {
        proto::Frame frame;
        DecodeResult reason = DecodeResult::Ok;
        switch (reader.Push(byte, frame, reason)) {
        case proto::FrameReader::Event::Frame:
            ++tally.frames;
            break;
        case proto::FrameReader::Event::Rejected:
            ++tally.rejected;
            break;
        case proto::FrameReader::Event::None:
            break;
        }
    }
    return tally;
}

std::vector<proto::Frame> SampleFrames() {
    Bytes counting(64);
    for (size_t i = 0; i < counting.size(); ++i) {
        counting[i] = static_cast<uint8_t>(i * 3);
    }
    return {
        MakeFrame(FrameType::Read, 5, 0x0120, {0x20}),
        MakeFrame(FrameType::Command, 200, 0, {0x01, 0x02, 0x01, 0x40, 0x00}),
        MakeFrame(FrameType::Write, 17, 0x0240, Bytes(counting.begin(), counting.begin() + 32)),
        MakeFrame(FrameType::ReadData, 255, 0xFFE0, counting),
        MakeFrame(FrameType::WriteAck, 0, 0x00A0, {0x0E, 0x12, 0x34, 0x00, 0x78}),
        MakeFrame(FrameType::CommandAck, 1, 0, {}),
    };
}

// One flipped bit anywhere, delimiter included, never yields a frame: the damaged bytes are
// followed by a clean delimiter, as the next frame on the line would bring one.
TEST(FrameDamage, EverySingleBitFlipIsRejected) {
    for (const proto::Frame& frame : SampleFrames()) {
        const Bytes clean = Encoded(frame);
        ASSERT_EQ(1, Feed(clean).frames);
        for (size_t byte = 0; byte < clean.size(); ++byte) {
            for (int bit = 0; bit < 8; ++bit) {
                Bytes damaged = clean;
                damaged[byte] ^= static_cast<uint8_t>(1u << bit);
                damaged.push_back(0x00);
                const ReaderTally tally = Feed(damaged);
                EXPECT_EQ(0, tally.frames) << "type " << int{static_cast<uint8_t>(frame.type)}
                                           << " byte " << byte << " bit " << bit;
                EXPECT_GE(tally.rejected, 1);
            }
        }
    }
}

TEST(FrameDamage, EveryTruncationIsRejected) {
    for (const proto::Frame& frame : SampleFrames()) {
        const Bytes clean = Encoded(frame);
        const Bytes body(clean.begin(), clean.end() - 1);
        for (size_t keep = 1; keep < body.size(); ++keep) {
            proto::Frame decoded;
            EXPECT_NE(DecodeResult::Ok, Decode(Bytes(body.begin(), body.begin() + keep), decoded))
                << "kept " << keep;
        }
    }
}

TEST(FrameDamage, ExtraBytesAreRejected) {
    const Bytes clean = Encoded(MakeFrame(FrameType::Read, 5, 0x0120, {0x20}));
    const Bytes body(clean.begin(), clean.end() - 1);
    for (uint8_t extra : {0x01, 0x02, 0x20, 0xFF}) {
        // Appended at the end of the stuffed bytes, and inserted at the start.
        Bytes appended = body;
        appended.push_back(extra);
        Bytes prepended = body;
        prepended.insert(prepended.begin(), extra);
        proto::Frame decoded;
        EXPECT_NE(DecodeResult::Ok, Decode(appended, decoded)) << int{extra};
        EXPECT_NE(DecodeResult::Ok, Decode(prepended, decoded)) << int{extra};
    }
}

struct Damage {
    const char* name;
    Bytes stuffed; // without delimiter
    DecodeResult expected;
};

std::vector<Damage> Damages() {
    const Bytes header = {0x02, 0x05, 0x00, 0x00, 0x01, 0x20};
    auto raw = [&](std::initializer_list<uint8_t> rest) {
        Bytes bytes = header;
        for (uint8_t byte : rest) {
            bytes.push_back(byte);
        }
        return bytes;
    };
    Bytes wrongCrc = WithCrc(raw({0x01, 0x20}));
    wrongCrc.back() ^= 0x01;
    Bytes unknownType = raw({0x01, 0x20});
    unknownType[0] = 0x42;
    unknownType = WithCrc(unknownType);
    Bytes largest(proto::kMaxRawFrame + 1, 0x11);
    return {
        {"CRC does not match", Stuffed(wrongCrc), DecodeResult::BadCrc},
        // A good CRC over a type no one sends.
        {"unknown type", Stuffed(unknownType), DecodeResult::UnknownType},
        {"length byte says more than is there", Stuffed(WithCrc(raw({0x02, 0x20}))),
         DecodeResult::LengthMismatch},
        {"length byte says less than is there", Stuffed(WithCrc(raw({0x01, 0x20, 0x21}))),
         DecodeResult::LengthMismatch},
        {"length byte says nothing", Stuffed(WithCrc(raw({0x00, 0x20}))),
         DecodeResult::LengthMismatch},
        {"length byte above 64", Stuffed(WithCrc(raw({0x41}))), DecodeResult::LengthMismatch},
        {"shorter than header and CRC",
         Stuffed({0x02, 0x05, 0x00, 0x00, 0x01, 0x20, 0x00, 0x11, 0x22, 0x33}),
         DecodeResult::TooShort},
        {"stuffing code runs past the end",
         {0x03, 0x02, 0x05, 0x01, 0x0C, 0x01, 0x20, 0x01},
         DecodeResult::BadStuffing},
        {"a lone code byte", {0x01}, DecodeResult::BadStuffing},
        {"more bytes than the largest frame", Stuffed(largest), DecodeResult::TooLong},
    };
}

TEST(FrameDamage, EachKindIsRejectedWithItsReason) {
    for (const Damage& d : Damages()) {
        proto::Frame decoded;
        decoded.sequence = 99;
        EXPECT_EQ(d.expected, Decode(d.stuffed, decoded)) << d.name;
        EXPECT_EQ(99, decoded.sequence) << d.name << ": a rejected frame must not be delivered";
    }
}

} // namespace

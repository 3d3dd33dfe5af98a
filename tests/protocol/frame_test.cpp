// The wire format: CRC-32, COBS, the frames of each exchange byte for byte (the worked frames of
// docs/protocol.md among them), and every kind of damage refused.
#include <gtest/gtest.h>

#include <utility>

#include "protocol/cobs.h"
#include "protocol/crc32.h"
#include "protocol/messages.h"
#include "tests/protocol/hex.h"

namespace {

using proto::DecodeResult;
using proto::Frame;

TEST(Crc32, GivesTheCheckValue) {
    EXPECT_EQ(0xCBF43926u, proto::Crc32(reinterpret_cast<const uint8_t*>("123456789"), 9));
}

// Encodes or decodes all of `in` but its last `unread` bytes.
Bytes Cobs(bool encode, const Bytes& in, size_t capacity, size_t unread = 0) {
    Bytes out(capacity);
    const auto code = encode ? proto::CobsEncode : proto::CobsDecode;
    out.resize(code(in.data(), in.size() - unread, out.data(), capacity));
    return out;
}

TEST(Cobs, EncodesAndDecodesWithinItsRoom) {
    const std::pair<Bytes, Bytes> cases[] = {{Hex("00"), Hex("01 01")},
                                             {Hex("11 22 00 33"), Hex("03 11 22 02 33")},
                                             {Hex("11 00 00"), Hex("02 11 01 01")},
                                             {Hex("00 11 22"), Hex("01 03 11 22")}};
    for (const auto& [raw, encoded] : cases) {
        EXPECT_EQ(encoded, Cobs(true, raw, proto::CobsEncodedMax(raw.size())));
        EXPECT_EQ(raw, Cobs(false, encoded, raw.size()));
        EXPECT_EQ(Bytes(), Cobs(true, raw, encoded.size() - 1)) << "no room";
        EXPECT_EQ(Bytes(), Cobs(false, encoded, raw.size() - 1)) << "no room";
    }
    // A zero code, a zero inside a block, a block cut short: EE lies past the end, never read.
    for (const char* bad : {"00 11 EE", "03 11 00 EE", "03 11 EE"}) {
        EXPECT_EQ(Bytes(), Cobs(false, Hex(bad), 100, 1)) << bad;
    }
}

// A Read of 32 bytes at 0x0120 with sequence 5, the built-in radio's answer, and a WriteAck.
const Bytes kRead = Hex("03 02 05 01 09 01 20 01 20 D7 BB C7 BF 00");
const Bytes kReadData = Hex("03 82 05 01 28 01 20 20 26 27 28 29 2A 2B 2C 2D 2E 2F 30 31 32 33 "
                            "34 35 36 37 38 39 3A 3B 3C 3D 3E 3F 40 41 42 43 44 45 61 20 80 65 00");
const Bytes kWriteAck = Hex("03 83 07 01 0D 02 40 05 03 75 4B 7B 32 70 C6 34 A9 00");

Bytes Encode(const Frame& frame, size_t capacity = proto::kMaxEncodedFrame) {
    Bytes out(capacity);
    out.resize(proto::EncodeFrame(frame, out.data(), capacity));
    return out;
}

TEST(Frame, BuildersMakeTheFramesOfEachExchangeByteForByte) {
    const Bytes command = Hex("00 12 01 06 00"), written = Hex("2A 00 33");
    const Bytes filler(kReadData.begin() + 8, kReadData.begin() + 40);
    Frame read, write, commandFrame;
    ASSERT_TRUE(proto::MakeReadFrame(5, 0x0120, 32, read));
    ASSERT_TRUE(proto::MakeWriteFrame(7, 0x0240, written.data(), 3, write));
    ASSERT_TRUE(proto::MakeCommandFrame(200, command.data(), 5, commandFrame));
    const std::pair<Frame, Bytes> cases[] = {
        {read, kRead},
        {proto::MakeReadData(read, filler.data(), 32), kReadData},
        {write, Hex("03 03 07 01 05 02 40 03 2A 06 33 E1 58 4A 30 00")},
        {proto::MakeWriteAck(write, 3, 0x754B7B32), kWriteAck},
        {commandFrame, Hex("03 01 C8 01 01 01 02 05 04 12 01 06 05 06 5F 84 23 00")},
        {proto::MakeCommandAck(read), Hex("03 81 05 01 03 01 20 05 77 86 E1 1E 00")},
        {proto::MakeNak(read, proto::NakReason::AddressOutOfRange),
         Hex("03 FF 05 01 09 01 20 01 02 66 B5 87 C0 00")},
    };
    for (const auto& [frame, encoded] : cases) {
        EXPECT_EQ(encoded, Encode(frame)) << proto::FrameTypeName(frame.type);
    }
    EXPECT_EQ(0x754B7B32u, proto::WriteCrc(write));
    uint8_t count = 0;
    uint32_t crc = 0;
    for (uint8_t length : {4, 6}) { // a WriteAck carries 5 bytes
        Frame ack = cases[3].first;
        ack.length = length;
        EXPECT_FALSE(proto::ParseWriteAck(ack, count, crc)) << int{length};
    }
}

TEST(Frame, DecodesOnlyWhatArrivedIntact) {
    Frame read, frame;
    ASSERT_TRUE(proto::MakeReadFrame(5, 0x0120, 32, read));
    const std::pair<const char*, DecodeResult> cases[] = {
        {"03 02 05 01 09 01 20 01 20 D7 BB C7 BF", DecodeResult::Ok},
        {"03 02 05 01 09 01 20 01 20 D7 BB C7 BE", DecodeResult::BadCrc},
        {"03 42 05 01 09 01 20 01 20 FE 26 05 52", DecodeResult::UnknownType},    // good CRC
        {"03 02 05 01 09 01 20 02 20 FC 96 94 7C", DecodeResult::LengthMismatch}, // 2, 1 there
        {"03 02 05 01 03 01 20 04 11 22 33", DecodeResult::TooShort},
        {"05 11 22", DecodeResult::BadStuffing},
    };
    for (const auto& [chunk, result] : cases) {
        const Bytes bytes = Hex(chunk);
        EXPECT_EQ(result, proto::DecodeFrame(bytes.data(), bytes.size(), frame)) << chunk;
        EXPECT_EQ(result == DecodeResult::Ok, proto::SameFrame(read, frame)) << chunk;
        frame = Frame{};
    }
    EXPECT_EQ(DecodeResult::TooLong, proto::DecodeFrame(Bytes(77, 0x11).data(), 77, frame));
}

TEST(Frame, RefusesEverySingleBitFlip) {
    for (const Bytes& clean : {kRead, kReadData, kWriteAck}) {
        for (size_t bit = 0; bit < (clean.size() - 1) * 8; ++bit) {
            Bytes damaged(clean.begin(), clean.end() - 1);
            damaged[bit / 8] ^= static_cast<uint8_t>(1u << bit % 8);
            Frame frame;
            EXPECT_NE(DecodeResult::Ok, proto::DecodeFrame(damaged.data(), damaged.size(), frame))
                << "bit " << bit;
        }
    }
}

} // namespace

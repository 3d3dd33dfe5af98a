#include "protocol/frame.h"

#include <cstring>

#include "protocol/byte_order.h"
#include "protocol/crc32.h"

namespace proto {
namespace {

constexpr size_t kTypeAt = 0;
constexpr size_t kSequenceAt = 1;
constexpr size_t kAddressAt = 2;
constexpr size_t kLengthAt = 6;
// The longest chunk an encoded frame can be, without its delimiter.
constexpr size_t kMaxEncodedBody = kMaxEncodedFrame - 1;

} // namespace

bool IsKnownFrameType(uint8_t type) {
    switch (static_cast<FrameType>(type)) {
    case FrameType::Command:
    case FrameType::Read:
    case FrameType::Write:
    case FrameType::CommandAck:
    case FrameType::ReadData:
    case FrameType::WriteAck:
    case FrameType::Nak:
        return true;
    }
    return false;
}

size_t EncodeFrame(const Frame& frame, uint8_t* out, size_t outCapacity) {
    if (frame.length > kMaxPayload) {
        return 0;
    }
    uint8_t raw[kMaxRawFrame];
    raw[kTypeAt] = static_cast<uint8_t>(frame.type);
    raw[kSequenceAt] = frame.sequence;
    PutBigEndian32(raw + kAddressAt, frame.address);
    raw[kLengthAt] = frame.length;
    std::memcpy(raw + kHeaderSize, frame.payload, frame.length);
    const size_t crcAt = kHeaderSize + frame.length;
    PutBigEndian32(raw + crcAt, Crc32(raw, crcAt));
    const size_t rawSize = crcAt + kCrcSize;

    if (outCapacity < 1) {
        return 0;
    }
    const size_t encoded = CobsEncode(raw, rawSize, out, outCapacity - 1);
    if (encoded == 0) {
        return 0;
    }
    out[encoded] = 0x00;
    return encoded + 1;
}

const char* DecodeResultName(DecodeResult result) {
    switch (result) {
    case DecodeResult::Ok:
        return "ok";
    case DecodeResult::BadStuffing:
        return "bad_stuffing";
    case DecodeResult::TooShort:
        return "too_short";
    case DecodeResult::TooLong:
        return "too_long";
    case DecodeResult::LengthMismatch:
        return "length_mismatch";
    case DecodeResult::BadCrc:
        return "bad_crc";
    case DecodeResult::UnknownType:
        return "unknown_type";
    }
    return "unknown";
}

DecodeResult DecodeFrame(const uint8_t* encoded, size_t encodedSize, Frame& frame) {
    if (encodedSize > kMaxEncodedBody) {
        return DecodeResult::TooLong;
    }
    uint8_t raw[kMaxRawFrame];
    // A chunk that decodes to nothing at all carries no frame either: it counts as bad
    // stuffing, like every other chunk the decoder cannot use.
    const size_t rawSize = CobsDecode(encoded, encodedSize, raw, sizeof raw);
    if (rawSize == 0) {
        return DecodeResult::BadStuffing;
    }
    if (rawSize < kHeaderSize + kCrcSize) {
        return DecodeResult::TooShort;
    }
    const uint8_t length = raw[kLengthAt];
    if (length > kMaxPayload || rawSize != kHeaderSize + length + kCrcSize) {
        return DecodeResult::LengthMismatch;
    }
    const size_t crcAt = kHeaderSize + length;
    if (GetBigEndian32(raw + crcAt) != Crc32(raw, crcAt)) {
        return DecodeResult::BadCrc;
    }
    // The type is judged only once the CRC proves the frame arrived as it was sent.
    if (!IsKnownFrameType(raw[kTypeAt])) {
        return DecodeResult::UnknownType;
    }
    frame.type = static_cast<FrameType>(raw[kTypeAt]);
    frame.sequence = raw[kSequenceAt];
    frame.address = GetBigEndian32(raw + kAddressAt);
    frame.length = length;
    std::memcpy(frame.payload, raw + kHeaderSize, length);
    std::memset(frame.payload + length, 0, kMaxPayload - length);
    return DecodeResult::Ok;
}

FrameReader::Event FrameReader::Push(uint8_t byte, Frame& frame, DecodeResult& rejected) {
    if (byte != 0x00) {
        if (m_size < sizeof m_buffer) {
            m_buffer[m_size++] = byte;
        } else {
            m_overflow = true;
        }
        return Event::None;
    }
    const size_t size = m_size;
    const bool overflow = m_overflow;
    Reset();
    if (overflow) {
        rejected = DecodeResult::TooLong;
        return Event::Rejected;
    }
    if (size == 0) {
        return Event::None;
    }
    rejected = DecodeFrame(m_buffer, size, frame);
    return rejected == DecodeResult::Ok ? Event::Frame : Event::Rejected;
}

} // namespace proto

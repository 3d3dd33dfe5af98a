// Helpers of the frame tests: frames as byte vectors, and hand-made raw frames.
#pragma once

#include <cstdint>
#include <vector>

#include "protocol/cobs.h"
#include "protocol/crc32.h"
#include "protocol/frame.h"

namespace frametest {

using Bytes = std::vector<uint8_t>;

// The encoded frame with its delimiter.
inline Bytes Encoded(const proto::Frame& frame) {
    Bytes out(proto::kMaxEncodedFrame);
    out.resize(proto::EncodeFrame(frame, out.data(), out.size()));
    return out;
}

// Appends the big-endian CRC-32 of `raw` to it.
inline Bytes WithCrc(Bytes raw) {
    const uint32_t crc = proto::Crc32(raw.data(), raw.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        raw.push_back(static_cast<uint8_t>(crc >> shift));
    }
    return raw;
}

// COBS-encodes raw bytes, without a delimiter.
inline Bytes Stuffed(const Bytes& raw) {
    Bytes out(proto::CobsEncodedMax(raw.size()));
    out.resize(proto::CobsEncode(raw.data(), raw.size(), out.data(), out.size()));
    return out;
}

inline proto::DecodeResult Decode(const Bytes& encodedWithoutDelimiter, proto::Frame& frame) {
    return proto::DecodeFrame(encodedWithoutDelimiter.data(), encodedWithoutDelimiter.size(),
                              frame);
}

inline proto::Frame MakeFrame(proto::FrameType type, uint8_t sequence, uint32_t address,
                              const Bytes& payload) {
    proto::Frame frame;
    frame.type = type;
    frame.sequence = sequence;
    frame.address = address;
    frame.length = static_cast<uint8_t>(payload.size());
    for (size_t i = 0; i < payload.size(); ++i) {
        frame.payload[i] = payload[i];
    }
    return frame;
}

} // namespace frametest

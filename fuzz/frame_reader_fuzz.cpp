// The frame decoder as both ends of the line run it: any byte stream into a FrameReader, and
// any chunk into DecodeFrame. Every frame accepted must encode back to a frame that decodes to
// the same contents; nothing may read or write outside its buffers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "protocol/frame.h"
#include "protocol/messages.h"

namespace {

void CheckRoundTrip(const proto::Frame& frame) {
    if (frame.length > proto::kMaxPayload) {
        std::abort();
    }
    uint8_t encoded[proto::kMaxEncodedFrame];
    const size_t size = proto::EncodeFrame(frame, encoded, sizeof encoded);
    if (size == 0 || encoded[size - 1] != 0) {
        std::abort();
    }
    proto::Frame again;
    if (proto::DecodeFrame(encoded, size - 1, again) != proto::DecodeResult::Ok ||
        !proto::SameFrame(frame, again) || again.sequence != frame.sequence ||
        again.address != frame.address) {
        std::abort();
    }
    // What the host does with an answer it receives.
    uint8_t count = 0;
    uint32_t crc = 0;
    if (frame.type == proto::FrameType::WriteAck && proto::ParseWriteAck(frame, count, crc) &&
        frame.length != proto::kWriteAckLength) {
        std::abort();
    }
    (void)proto::FrameTypeName(frame.type);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    proto::Frame frame;
    if (proto::DecodeFrame(data, size, frame) == proto::DecodeResult::Ok) {
        CheckRoundTrip(frame);
    }
    proto::FrameReader reader;
    proto::DecodeResult rejected = proto::DecodeResult::Ok;
    for (size_t i = 0; i < size; ++i) {
        const proto::FrameReader::Event event = reader.Push(data[i], frame, rejected);
        if (event == proto::FrameReader::Event::Frame) {
            CheckRoundTrip(frame);
        } else if (event == proto::FrameReader::Event::Rejected) {
            (void)proto::DecodeResultName(rejected);
        }
    }
    return 0;
}

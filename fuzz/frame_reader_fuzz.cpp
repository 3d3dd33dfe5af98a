// The frame decoder as both ends of the line run it, on any bytes: a frame accepted must encode
// back to bytes that decode to the same frame; nothing may reach outside its buffers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "protocol/frame.h"
#include "protocol/messages.h"

static void CheckRoundTrip(const proto::Frame& frame) {
    uint8_t encoded[proto::kMaxEncodedFrame];
    const size_t size = proto::EncodeFrame(frame, encoded, sizeof encoded);
    proto::Frame again;
    if (size == 0 || encoded[size - 1] != 0 ||
        proto::DecodeFrame(encoded, size - 1, again) != proto::DecodeResult::Ok ||
        !proto::SameFrame(frame, again)) {
        std::abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    proto::Frame frame;
    if (proto::DecodeFrame(data, size, frame) == proto::DecodeResult::Ok) {
        CheckRoundTrip(frame);
    }
    proto::FrameReader reader;
    proto::DecodeResult rejected{};
    for (size_t i = 0; i < size; ++i) {
        if (reader.Push(data[i], frame, rejected) == proto::FrameReader::Event::Frame) {
            CheckRoundTrip(frame);
        }
    }
    return 0;
}

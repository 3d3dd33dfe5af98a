// The simulated radio's request handling: any byte stream, split into frames for the built-in
// radio's RequestHandler, in programming mode or not as the first byte says. Every reply must reach
// the host intact, echo the sequence number, and report a write stored only as the bytes sent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "protocol/messages.h"
#include "radiosim/default_radio.h"
#include "radiosim/request_handler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    static const radiosim::RadioMemory kBuiltIn = radiosim::MakeDefaultRadio();
    radiosim::RadioMemory memory = kBuiltIn;
    radiosim::RequestHandler handler(memory);
    handler.SetProgrammingMode(data[0] & 1);
    proto::FrameReader radioSide, hostSide;
    proto::Frame request, answer;
    proto::DecodeResult rejected{};
    for (size_t i = 1; i < size; ++i) {
        if (radioSide.Push(data[i], request, rejected) != proto::FrameReader::Event::Frame) {
            continue;
        }
        const radiosim::HandlerResult result = handler.Handle(request);
        uint8_t encoded[proto::kMaxEncodedFrame];
        const size_t encodedSize = proto::EncodeFrame(result.reply, encoded, sizeof encoded);
        auto event = proto::FrameReader::Event::None;
        for (size_t j = 0; j < encodedSize; ++j) {
            event = hostSide.Push(encoded[j], answer, rejected);
        }
        uint8_t count = 0;
        uint32_t crc = 0;
        if (result.reply.sequence != request.sequence ||
            event != proto::FrameReader::Event::Frame || !proto::SameFrame(answer, result.reply) ||
            (result.stored && (request.type != proto::FrameType::Write ||
                               !proto::ParseWriteAck(answer, count, crc) ||
                               count != request.length || crc != proto::WriteCrc(request)))) {
            std::abort();
        }
    }
    return 0;
}

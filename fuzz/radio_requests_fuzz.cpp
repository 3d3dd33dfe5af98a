// The simulated radio's request handling: any byte stream as the line would deliver it,
// decoded into frames and handed to the RequestHandler, on the built-in radio, in programming
// mode or not as the first byte says. Every reply must encode and decode again as the host
// would read it, echo the request's sequence number, and never report a write it did not
// carry out.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "protocol/frame.h"
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

    proto::FrameReader radioSide;
    proto::FrameReader hostSide;
    proto::Frame request;
    proto::DecodeResult rejected = proto::DecodeResult::Ok;
    for (size_t i = 1; i < size; ++i) {
        if (radioSide.Push(data[i], request, rejected) != proto::FrameReader::Event::Frame) {
            continue;
        }
        const radiosim::HandlerResult result = handler.Handle(request);
        if (result.reply.sequence != request.sequence) {
            std::abort();
        }
        if (result.stored && request.type != proto::FrameType::Write) {
            std::abort();
        }
        uint8_t encoded[proto::kMaxEncodedFrame];
        const size_t encodedSize = proto::EncodeFrame(result.reply, encoded, sizeof encoded);
        if (encodedSize == 0) {
            std::abort();
        }
        proto::Frame answer;
        proto::FrameReader::Event event = proto::FrameReader::Event::None;
        for (size_t j = 0; j < encodedSize; ++j) {
            event = hostSide.Push(encoded[j], answer, rejected);
        }
        if (event != proto::FrameReader::Event::Frame || !proto::SameFrame(answer, result.reply)) {
            std::abort();
        }
        // A WriteAck carries the CRC of what memory now holds: for a write carried out, the
        // CRC of the bytes the host sent.
        uint8_t count = 0;
        uint32_t crc = 0;
        if (result.stored && (!proto::ParseWriteAck(answer, count, crc) ||
                              count != request.length || crc != proto::WriteCrc(request))) {
            std::abort();
        }
    }
    return 0;
}

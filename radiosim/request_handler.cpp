#include "radiosim/request_handler.h"

#include <cstring>

#include "protocol/crc32.h"
#include "protocol/messages.h"

namespace radiosim {
namespace {

using proto::Frame;
using proto::FrameType;
using proto::NakReason;

const uint8_t kProgrammingModeCommand[proto::kCommandSize] = {0x01, 0x02, 0x01, 0x40};
const uint8_t kResetCommand[proto::kCommandSize] = {0x00, 0x00, 0x05, 0x08};
// Command 12h: 00 12 vv 06, any value vv.
bool IsCommand12(const uint8_t* bytes) {
    return bytes[0] == 0x00 && bytes[1] == 0x12 && bytes[3] == 0x06;
}

bool IsCommand(const uint8_t* bytes, const uint8_t (&command)[proto::kCommandSize]) {
    return std::memcmp(bytes, command, proto::kCommandSize) == 0;
}

} // namespace

void RequestHandler::SetProgrammingMode(bool on) {
    m_programmingMode = on;
    ForgetLastExchange();
}

HandlerResult RequestHandler::Handle(const Frame& request) {
    HandlerResult result;
    if (m_haveLast && proto::SameFrame(request, m_lastRequest)) {
        result.reply = m_lastReply;
        result.repeated = true;
    } else {
        result.reply = Execute(request, result);
        m_lastRequest = request;
        m_lastReply = result.reply;
        m_haveLast = true;
    }
    result.verdict = result.reply.type == FrameType::Nak
                         ? std::string("nak:") +
                               proto::NakReasonName(static_cast<NakReason>(result.reply.payload[0]))
                         : "ok";
    return result;
}

Frame RequestHandler::Execute(const Frame& request, HandlerResult& result) {
    switch (request.type) {
    case FrameType::Command:
        return HandleCommand(request);
    case FrameType::Read:
        return HandleRead(request);
    case FrameType::Write:
        return HandleWrite(request, result);
    default:
        // A well-formed frame of a type only the radio sends.
        return proto::MakeNak(request, NakReason::UnknownType);
    }
}

Frame RequestHandler::HandleCommand(const Frame& request) {
    if (request.length == 0) {
        return proto::MakeNak(request, NakReason::BadLength);
    }
    if (request.length < proto::kCommandSize) {
        return proto::MakeNak(request, NakReason::UnknownCommand);
    }
    if (IsCommand(request.payload, kProgrammingModeCommand)) {
        m_programmingMode = true;
    } else if (IsCommand(request.payload, kResetCommand)) {
        m_programmingMode = false;
    } else if (!IsCommand12(request.payload)) {
        return proto::MakeNak(request, NakReason::UnknownCommand);
    }
    return proto::MakeCommandAck(request);
}

Frame RequestHandler::HandleRead(const Frame& request) {
    if (!m_programmingMode) {
        return proto::MakeNak(request, NakReason::NotInProgrammingMode);
    }
    if (request.length != 1 || request.payload[0] == 0 || request.payload[0] > proto::kMaxPayload) {
        return proto::MakeNak(request, NakReason::BadLength);
    }
    const size_t count = request.payload[0];
    if (!RadioMemory::Contains(request.address, count)) {
        return proto::MakeNak(request, NakReason::AddressOutOfRange);
    }
    return proto::MakeReadData(request, m_memory.data() + request.address, count);
}

Frame RequestHandler::HandleWrite(const Frame& request, HandlerResult& result) {
    if (!m_programmingMode) {
        return proto::MakeNak(request, NakReason::NotInProgrammingMode);
    }
    if (request.length == 0) {
        return proto::MakeNak(request, NakReason::BadLength);
    }
    if (!RadioMemory::Contains(request.address, request.length)) {
        return proto::MakeNak(request, NakReason::AddressOutOfRange);
    }
    uint8_t* target = m_memory.data() + request.address;
    std::memcpy(target, request.payload, request.length);
    // The acknowledgement carries the CRC of what memory holds now, not of what arrived.
    const uint32_t storedCrc = proto::Crc32(target, request.length);

    result.stored = true;
    result.check = CheckLayout(m_memory);
    ++m_acceptedWrites;
    if (!result.check.Consistent()) {
        ++m_inconsistentStates;
    }
    return proto::MakeWriteAck(request, request.length, storedCrc);
}

} // namespace radiosim

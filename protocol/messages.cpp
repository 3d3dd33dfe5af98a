#include "protocol/messages.h"

#include <cstring>

#include "protocol/byte_order.h"
#include "protocol/crc32.h"

namespace proto {
namespace {

Frame ReplyTo(const Frame& request, FrameType type) {
    Frame reply;
    reply.type = type;
    reply.sequence = request.sequence;
    reply.address = request.address;
    return reply;
}

bool MakeRequest(FrameType type, uint8_t sequence, uint32_t address, const uint8_t* bytes,
                 size_t count, Frame& frame) {
    if (count == 0 || count > kMaxPayload) {
        return false;
    }
    frame = Frame{};
    frame.type = type;
    frame.sequence = sequence;
    frame.address = address;
    frame.length = static_cast<uint8_t>(count);
    std::memcpy(frame.payload, bytes, count);
    return true;
}

} // namespace

bool MakeCommandFrame(uint8_t sequence, const uint8_t* bytes, size_t count, Frame& frame) {
    return MakeRequest(FrameType::Command, sequence, 0, bytes, count, frame);
}

bool MakeReadFrame(uint8_t sequence, uint32_t address, size_t count, Frame& frame) {
    if (count == 0 || count > kMaxPayload) {
        return false;
    }
    const uint8_t byteCount = static_cast<uint8_t>(count);
    return MakeRequest(FrameType::Read, sequence, address, &byteCount, 1, frame);
}

bool MakeWriteFrame(uint8_t sequence, uint32_t address, const uint8_t* bytes, size_t count,
                    Frame& frame) {
    return MakeRequest(FrameType::Write, sequence, address, bytes, count, frame);
}

Frame MakeCommandAck(const Frame& request) {
    return ReplyTo(request, FrameType::CommandAck);
}

Frame MakeReadData(const Frame& request, const uint8_t* bytes, size_t count) {
    Frame reply = ReplyTo(request, FrameType::ReadData);
    reply.length = static_cast<uint8_t>(count);
    std::memcpy(reply.payload, bytes, count);
    return reply;
}

Frame MakeWriteAck(const Frame& request, uint8_t countStored, uint32_t storedCrc) {
    Frame reply = ReplyTo(request, FrameType::WriteAck);
    reply.length = kWriteAckLength;
    reply.payload[0] = countStored;
    PutBigEndian32(reply.payload + 1, storedCrc);
    return reply;
}

Frame MakeNak(const Frame& request, NakReason reason) {
    Frame reply = ReplyTo(request, FrameType::Nak);
    reply.length = 1;
    reply.payload[0] = static_cast<uint8_t>(reason);
    return reply;
}

bool ParseWriteAck(const Frame& ack, uint8_t& countStored, uint32_t& storedCrc) {
    if (ack.length != kWriteAckLength) {
        return false;
    }
    countStored = ack.payload[0];
    storedCrc = GetBigEndian32(ack.payload + 1);
    return true;
}

uint32_t WriteCrc(const Frame& write) {
    return Crc32(write.payload, write.length);
}

const char* FrameTypeName(FrameType type) {
    switch (type) {
    case FrameType::Command:
        return "command";
    case FrameType::Read:
        return "read";
    case FrameType::Write:
        return "write";
    case FrameType::CommandAck:
        return "command_ack";
    case FrameType::ReadData:
        return "read_data";
    case FrameType::WriteAck:
        return "write_ack";
    case FrameType::Nak:
        return "nak";
    }
    return "unknown";
}

const char* NakReasonName(NakReason reason) {
    switch (reason) {
    case NakReason::NotInProgrammingMode:
        return "not_in_programming_mode";
    case NakReason::AddressOutOfRange:
        return "address_out_of_range";
    case NakReason::BadLength:
        return "bad_length";
    case NakReason::UnknownType:
        return "unknown_type";
    case NakReason::UnknownCommand:
        return "unknown_command";
    }
    return "unknown";
}

bool SameFrame(const Frame& a, const Frame& b) {
    return a.type == b.type && a.sequence == b.sequence && a.address == b.address &&
           a.length == b.length && std::memcmp(a.payload, b.payload, a.length) == 0;
}

} // namespace proto

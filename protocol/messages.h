// Building and reading the frames of the exchanges: what the host sends and what a radio
// answers. Layout and meaning of each frame type: docs/protocol.md.
#pragma once

#include <cstddef>
#include <cstdint>

#include "protocol/frame.h"

namespace proto {

// A command is recognised by its first four bytes; the host may send more (Hushwell sends
// five, the fifth as 0) and the radio ignores them.
constexpr size_t kCommandSize = 4;
// WriteAck payload: [count stored, CRC-32 of the stored bytes read back, big-endian].
constexpr size_t kWriteAckLength = 1 + 4;

// Requests (host to radio). Each returns false, leaving `frame` unchanged, when the count is
// 0 or more than kMaxPayload.
bool MakeCommandFrame(uint8_t sequence, const uint8_t* bytes, size_t count, Frame& frame);
bool MakeReadFrame(uint8_t sequence, uint32_t address, size_t count, Frame& frame);
bool MakeWriteFrame(uint8_t sequence, uint32_t address, const uint8_t* bytes, size_t count,
                    Frame& frame);

// Replies (radio to host); each echoes the request's sequence number and address.
Frame MakeCommandAck(const Frame& request);
// `count` must not exceed kMaxPayload.
Frame MakeReadData(const Frame& request, const uint8_t* bytes, size_t count);
Frame MakeWriteAck(const Frame& request, uint8_t countStored, uint32_t storedCrc);
Frame MakeNak(const Frame& request, NakReason reason);

// Reads a WriteAck's payload; false when its length is not kWriteAckLength.
bool ParseWriteAck(const Frame& ack, uint8_t& countStored, uint32_t& storedCrc);

// The CRC a WriteAck must carry for this Write request.
uint32_t WriteCrc(const Frame& write);

// Short lower-case names for logs and messages, e.g. "read_data", "not_in_programming_mode".
const char* FrameTypeName(FrameType type);
const char* NakReasonName(NakReason reason);

// Same type, sequence, address, length and payload bytes (bytes past the length are ignored).
bool SameFrame(const Frame& a, const Frame& b);

} // namespace proto

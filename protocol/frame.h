// Frames of the radio link wire protocol (see docs/protocol.md).
//
// Before stuffing, a frame is:
//   0      type
//   1      sequence number
//   2..5   address, big-endian (0 where the type has none)
//   6      payload length L (0..64)
//   7..    payload, L bytes
//   7+L..  CRC-32 of bytes 0 to 6+L, big-endian
// It is COBS-encoded and followed by a single 0x00 delimiter.
#pragma once

#include <cstddef>
#include <cstdint>

#include "protocol/cobs.h"

namespace proto {

enum class FrameType : uint8_t {
    Command = 0x01,    // host: payload = the command bytes
    Read = 0x02,       // host: payload = [byte count], at address
    Write = 0x03,      // host: payload = the bytes to store at address
    CommandAck = 0x81, // radio: the command was carried out; no payload
    ReadData = 0x82,   // radio: payload = the bytes read at address
    WriteAck = 0x83,   // radio: payload = [count stored, CRC-32 of the stored bytes read back (BE)]
    Nak = 0xFF,        // radio: payload = [NakReason]
};

enum class NakReason : uint8_t {
    NotInProgrammingMode = 0x01, // memory requests need the programming-mode command first
    AddressOutOfRange = 0x02,    // the transfer would reach past the radio's memory
    BadLength = 0x03,            // a count of 0, or more than the payload can carry
    UnknownType = 0x04,          // a frame type the radio does not know
    UnknownCommand = 0x05,       // a command the radio does not know
};

constexpr size_t kMaxPayload = 64;
constexpr size_t kHeaderSize = 7;
constexpr size_t kCrcSize = 4;
constexpr size_t kMaxRawFrame = kHeaderSize + kMaxPayload + kCrcSize;
// Encoded bytes of the largest frame, delimiter included.
constexpr size_t kMaxEncodedFrame = CobsEncodedMax(kMaxRawFrame) + 1;

struct Frame {
    FrameType type = FrameType::Command;
    uint8_t sequence = 0;
    uint32_t address = 0;
    uint8_t length = 0;
    uint8_t payload[kMaxPayload] = {};
};

bool IsKnownFrameType(uint8_t type);

// Encodes frame into out, delimiter included. Returns the number of bytes, or 0 when the
// frame's length exceeds kMaxPayload or out is too small.
size_t EncodeFrame(const Frame& frame, uint8_t* out, size_t outCapacity);

enum class DecodeResult {
    Ok,
    BadStuffing,    // COBS decoding failed
    TooShort,       // fewer bytes than a header and a CRC
    TooLong,        // more bytes than the largest frame before the delimiter
    LengthMismatch, // the length byte disagrees with the bytes present, or exceeds kMaxPayload
    BadCrc,         // the CRC does not match
    UnknownType,    // a type not in FrameType
};

const char* DecodeResultName(DecodeResult result);

// Decodes one encoded frame, without its delimiter.
DecodeResult DecodeFrame(const uint8_t* encoded, size_t encodedSize, Frame& frame);

// Splits a byte stream into frames at each 0x00. Bytes beyond kMaxEncodedFrame without a
// delimiter are discarded until the next delimiter, so noise cannot grow the buffer.
class FrameReader {
public:
    enum class Event { None, Frame, Rejected };

    // Feeds one byte. Returns Frame when it completed a valid frame (in `frame`), Rejected when
    // it completed a damaged one (reason in `rejected`), None otherwise. Empty chunks (two
    // delimiters in a row) are ignored.
    Event Push(uint8_t byte, Frame& frame, DecodeResult& rejected);
    void Reset() { m_size = 0, m_overflow = false; }

private:
    uint8_t m_buffer[kMaxEncodedFrame] = {};
    size_t m_size = 0;
    bool m_overflow = false;
};

} // namespace proto

// Results of radiolink.dll beyond the standard HRESULTs (E_INVALIDARG, E_POINTER and the
// Win32 errors of the serial port). All are FACILITY_ITF failures; docs/component.md lists
// them with their numbers.
#pragma once

#include <windows.h>

#include <cstdint>

#include "protocol/frame.h"

namespace radiolink {

constexpr HRESULT MakeLinkError(uint16_t code) {
    return static_cast<HRESULT>(MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, code));
}

// Calls in the wrong state; nothing is sent.
// The link is not open.
constexpr HRESULT RADIOLINK_E_NOT_OPEN = MakeLinkError(0x0201);
// Open on a link that is already open.
constexpr HRESULT RADIOLINK_E_ALREADY_OPEN = MakeLinkError(0x0202);
// Send on a packet connection, or Request or Reply on a command connection.
constexpr HRESULT RADIOLINK_E_WRONG_CONNECTION = MakeLinkError(0x0203);
// Reply with no Request waiting for it.
constexpr HRESULT RADIOLINK_E_NO_REQUEST = MakeLinkError(0x0204);
// Request while the previous Request still waits for its Reply.
constexpr HRESULT RADIOLINK_E_REQUEST_PENDING = MakeLinkError(0x0205);

// Exchanges that failed on the line; no bytes are delivered.
// No answer at all to any attempt.
constexpr HRESULT RADIOLINK_E_NO_ANSWER = MakeLinkError(0x0210);
// Answers came, but every one was damaged or did not match the request.
constexpr HRESULT RADIOLINK_E_BAD_ANSWER = MakeLinkError(0x0211);
// The radio acknowledged a write whose count or CRC differs from the bytes sent.
constexpr HRESULT RADIOLINK_E_WRITE_NOT_CONFIRMED = MakeLinkError(0x0212);

// The radio refused the request (Nak): 0x0300 + the reason byte.
constexpr HRESULT RadioRefusal(uint8_t reason) {
    return MakeLinkError(static_cast<uint16_t>(0x0300 + reason));
}
constexpr HRESULT RadioRefusal(proto::NakReason reason) {
    return RadioRefusal(static_cast<uint8_t>(reason));
}
constexpr HRESULT RADIOLINK_E_NOT_IN_PROGRAMMING_MODE =
    RadioRefusal(proto::NakReason::NotInProgrammingMode);
constexpr HRESULT RADIOLINK_E_ADDRESS_OUT_OF_RANGE =
    RadioRefusal(proto::NakReason::AddressOutOfRange);
constexpr HRESULT RADIOLINK_E_BAD_LENGTH = RadioRefusal(proto::NakReason::BadLength);
constexpr HRESULT RADIOLINK_E_UNKNOWN_TYPE = RadioRefusal(proto::NakReason::UnknownType);
constexpr HRESULT RADIOLINK_E_UNKNOWN_COMMAND = RadioRefusal(proto::NakReason::UnknownCommand);

} // namespace radiolink

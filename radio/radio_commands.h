// The three short radio commands. Each is a CommandLink connection of its own: instance made,
// "COM1" opened, one buffer sent, port closed, instance released.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

namespace radio {

using RadioCommand = std::array<BYTE, 4>;

constexpr RadioCommand kProgrammingModeCommand = {0x01, 0x02, 0x01, 0x40};
constexpr RadioCommand kResetCommand = {0x00, 0x00, 0x05, 0x08};
constexpr RadioCommand Command12(BYTE value) {
    return {0x00, 0x12, value, 0x06};
}

// Commands go out with count 5: the four command bytes and a byte 4 of 0.
constexpr int32_t kCommandCount = 5;

// Sends one command and returns the result of Send, or of the first step that failed. Shows
// "Could not open COM1" when the port cannot be opened and reportOpenFailure is set; nothing
// else. E_OUTOFMEMORY when the transfer area cannot be allocated (nothing is sent then).
HRESULT RunCommand(const RadioCommand& command, bool reportOpenFailure);

HRESULT EnterProgrammingMode();
HRESULT SendCommand12(BYTE value);
HRESULT ResetRadio();

} // namespace radio

// The serial devices Windows knows of, for the port dialog (port_choices.h): the names it gives
// the ports ("USB-SERIAL CH340 (COM7)" for COM7), the Bluetooth links among them, and the serial
// adapters plugged in whose port does not work. They come from SetupAPI: every present device of
// the Ports class (its PortName, its friendly name or else its description, its problem code),
// and every present device of a serial converter maker (USB vendor id) that Windows has a problem
// with, whatever its class: a converter with no driver is not of the Ports class yet ("Other
// devices"). Under Wine a port often has no device at all.
#pragma once

#include <windows.h>

#include <cstdint>

#include "component/settings/user_settings.h"

namespace radiolink {

// Devices kept; a PC's further ones go unnamed and unlisted.
constexpr size_t kMaxSerialDevices = 128;
// Characters of a device name with its terminating zero; a longer name is cut.
constexpr size_t kMaxDeviceName = 96;

// Windows' problem codes that a serial adapter shows most (Device Manager's "code 28").
constexpr DWORD kProblemNoDriver = 28;   // CM_PROB_FAILED_INSTALL
constexpr DWORD kProblemNotStarted = 10; // CM_PROB_FAILED_START
constexpr DWORD kProblemDisabled = 22;   // CM_PROB_DISABLED

struct SerialDevice {
    PortName port = {};                // its PortName ("COM7"); empty where it has none
    wchar_t name[kMaxDeviceName] = {}; // "USB-SERIAL CH340 (COM7)", or its description
    uint16_t vendor = 0;               // its USB vendor id, 0 where its instance id has none
    uint16_t product = 0;
    bool bluetooth = false; // listed by the Bluetooth enumerator: opening it makes a connection
    DWORD problem = 0;      // Windows' problem code; 0 for a device that works
};

struct SerialDevices {
    SerialDevice at[kMaxSerialDevices];
    size_t count = 0;
};

// What a device's instance id tells: its USB vendor and product ids ("USB\VID_067B&PID_2303\5&..",
// "FTDIBUS\VID_0403+PID_6001+A9..\0000") and whether the Bluetooth enumerator lists it
// ("BTHENUM\{00001101-...}..."). Ids that are not four hex digits count as none.
void ReadInstanceId(const wchar_t* instanceId, SerialDevice& device);

// The serial converter maker a USB vendor id belongs to ("Prolific" for 067B), or nullptr.
const wchar_t* ConverterMaker(uint16_t vendor);

// This PC's serial devices as described above; none where SetupAPI has none or cannot be loaded.
void CollectSerialDevices(SerialDevices& devices);

} // namespace radiolink

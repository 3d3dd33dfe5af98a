// The names Windows gives the serial ports' devices ("USB-SERIAL CH340 (COM7)" for COM7), for
// the port dialog (port_choices.h). They come from SetupAPI: the present devices of the Ports
// class, each with its PortName value and its friendly name, or its description where it has no
// friendly name. Under Wine a port often has neither.
#pragma once

#include <windows.h>

#include "component/settings/user_settings.h"

namespace radiolink {

// Devices read; a PC's further ones go without a name.
constexpr size_t kMaxDeviceNames = 128;
// Characters of a device name with its terminating zero; a longer name is cut.
constexpr size_t kMaxDeviceName = 96;

struct DeviceName {
    PortName port;                // "COM7"
    wchar_t name[kMaxDeviceName]; // "USB-SERIAL CH340 (COM7)"
};

struct DeviceNames {
    DeviceName at[kMaxDeviceNames];
    size_t count = 0;
};

// The names of this PC's port devices; none where SetupAPI has none or cannot be loaded.
void CollectDeviceNames(DeviceNames& names);

} // namespace radiolink

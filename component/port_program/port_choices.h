// What the port dialog (port_dialog.h) lists and what its OK stores, worked out without a
// window. Hushwell always asks for COM1, so the list offers COM1 itself (no mapping) and the
// serial ports Windows lists, and selects the one COM1 opens now. OK stores exactly what
// rundll32 radiolink.dll,PortMap COM1=COMn stores, or, for COM1 itself, what PortMap COM1=
// does (the mapping removed).
#pragma once

#include <windows.h>

#include "component/port_program/device_names.h"
#include "component/settings/user_settings.h"

namespace radiolink {

// The port Hushwell opens, and so the one the dialog maps.
constexpr char kAskedPort[] = "COM1";

// Entries, COM1 itself included. The ports past the limit are left out; the one COM1 is mapped
// to never is, so that OK cannot change the mapping unseen.
constexpr size_t kMaxPortChoices = 128;
// Characters of an entry's text with its terminating zero; a longer text is cut.
constexpr size_t kMaxChoiceText = 128;

struct PortChoice {
    PortName port;                // the port COM1 then opens; empty for COM1 itself
    wchar_t text[kMaxChoiceText]; // "COM7 (USB-SERIAL CH340)", "COM3", "COM9 (not on this PC)"
};

struct PortChoices {
    PortChoice at[kMaxPortChoices];
    size_t count = 0;
    size_t selected = 0; // the entry of the port COM1 opens now
};

// "COM1 (no mapping)" first, then the ports of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM in name
// order (COM3 before COM12), each with its device's name from `names` where it has one, and
// the port COM1 is mapped to if Windows does not list it ("COM9 (not on this PC)").
void ListPortChoices(const DeviceNames& names, PortChoices& choices);

// OK on entry `index`: COM1 mapped to its port, or no mapping for COM1 itself. Win32 error.
LSTATUS StorePortChoice(const PortChoices& choices, size_t index);

} // namespace radiolink

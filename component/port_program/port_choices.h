// What the port dialog (port_dialog.h) lists and what its OK stores, worked out without a
// window. Hushwell always asks for COM1, so the list offers COM1 itself (no mapping) and the
// serial ports Windows lists, and selects the one COM1 opens now. OK stores exactly what
// rundll32 radiolink.dll,PortMap COM1=COMn stores, or, for COM1 itself, what PortMap COM1=
// does (the mapping removed). After the ports come the serial adapters plugged in whose port does
// not work (a converter with no driver, one its driver refuses, one disabled), each saying what
// it is, what stops it and what to do: OK stores nothing for them.
#pragma once

#include <windows.h>

#include "component/port_program/serial_devices.h"
#include "component/settings/user_settings.h"

namespace radiolink {

// The port Hushwell opens, and so the one the dialog maps.
constexpr char kAskedPort[] = "COM1";

// Entries, COM1 itself included. The ports past the limit are left out; the one COM1 is mapped
// to never is, so that OK cannot change the mapping unseen.
constexpr size_t kMaxPortChoices = 128;
// Characters of an entry's text with its terminating zero; a longer text is cut.
constexpr size_t kMaxChoiceText = 320;
// Characters of what names a stopped adapter in a summary ("Prolific adapter").
constexpr size_t kMaxAdapterName = 48;

enum class ChoiceKind {
    Port,      // OK maps COM1 to it; Find radio asks it
    Bluetooth, // a Bluetooth link: OK maps COM1 to it; Find radio never opens it, since opening
               // it makes Windows connect to the paired device, which can take tens of seconds
    Stopped,   // an adapter with no working port: OK stores nothing; Find radio skips it
};

struct PortChoice {
    PortName port; // the port COM1 then opens; empty for COM1 itself and a portless adapter
    // "COM7 (USB-SERIAL CH340)", "COM3", "COM9 (not on this PC)"; a stopped adapter's in two
    // lines: "COM7 - <its name> (Prolific, USB 067B:2303)\n<what stops it>. <what to do>"
    wchar_t text[kMaxChoiceText];
    ChoiceKind kind;
    DWORD problem;                    // a stopped adapter's problem code
    wchar_t adapter[kMaxAdapterName]; // a stopped adapter: "Prolific adapter", or its name
};

struct PortChoices {
    PortChoice at[kMaxPortChoices];
    size_t count = 0;
    size_t selected = 0; // the entry of the port COM1 opens now
};

// "COM1 (no mapping)" first, then the ports of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM in name
// order (COM3 before COM12), each with its device's name from `devices` where it has one and
// marked where it is a Bluetooth link, and the port COM1 is mapped to if Windows does not list it
// ("COM9 (not on this PC)"); then the devices of `devices` that Windows has a problem with, by
// port (those without one last). A listed port whose device has a problem is such an entry.
void ListPortChoices(const SerialDevices& devices, PortChoices& choices);

// OK on entry `index`: COM1 mapped to its port, or no mapping for COM1 itself. Win32 error;
// ERROR_NOT_READY, and nothing stored, for an adapter with no working port.
LSTATUS StorePortChoice(const PortChoices& choices, size_t index);

} // namespace radiolink

// What the port dialog says of a serial device: its name, and for an adapter that is plugged in
// but has no working port, in a technician's words: what it is (its name, its converter's maker
// where its USB vendor id tells, its vendor and product ids), what stops it (Windows' problem code)
// and, as far as the code tells, what to do.
#pragma once

#include "component/port_program/serial_devices.h"
#include "component/port_program/wide_text.h"

namespace radiolink {

// Its name without the port Windows appends to it: "Prolific USB-to-Serial Comm Port" for
// "Prolific USB-to-Serial Comm Port (COM7)" on COM7; "serial device" where it has none.
void AddDeviceName(WideText& text, const SerialDevice& device);

// A stopped adapter's entry, in two lines:
//   COM7 - PL2303HXA PHASED OUT SINCE 2012. PLEASE CONTACT YOUR SUPPLIER. (Prolific, USB 067B:2303)
//   Its driver could not start it (code 10). The driver refuses this adapter: use another cable.
// ("No port - " for one that has no port name.)
void AddAdapterEntry(WideText& text, const SerialDevice& device);

// How a summary names it: "Prolific adapter", or, of an unknown maker, its name.
void AddAdapterName(WideText& text, const SerialDevice& device);

} // namespace radiolink

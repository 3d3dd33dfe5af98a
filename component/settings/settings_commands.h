// What the rundll32 entry points PortMap and LinkLog do (dll_exports.cpp shows the text in a
// message box): each applies its command line to the user's settings (user_settings.h) and
// gives the text a person reads. A malformed command line changes nothing; the text says why.
//
//   PortMap COM1=COM7   links opened on COM1 open COM7
//   PortMap COM1=       removes that mapping
//   PortMap             lists the mappings and the serial ports Windows knows
//   LinkLog on | off    switches the link log for links opened from now on
//   LinkLog             tells whether it is on, and where it writes
// Port names are 1 to 32 letters and digits, stored in capitals; spaces around the command line
// are ignored.
#pragma once

#include <cstddef>

namespace radiolink {

constexpr size_t kMaxMessage = 1024;
using Message = char[kMaxMessage];

// True when the command was carried out; false when nothing changed.
bool PortMapCommand(const char* commandLine, Message& message);
bool LinkLogCommand(const char* commandLine, Message& message);

// The caption of the message boxes of the entry points (and of the port dialog).
constexpr char kMessageCaption[] = "radiolink.dll";

// "Nothing changed: the setting could not be stored (error 5)."
void NotStoredMessage(long status, Message& message);

} // namespace radiolink

// The component's settings for the current user, read when a link is opened and written by the
// rundll32 entry points (settings_commands.h). Under HKEY_CURRENT_USER\Software\Hushwell\radiolink:
//   PortMap   key with a REG_SZ value per mapped port: "COM1" = "COM7" makes a link opened on
//             COM1 open COM7 (a technician's USB adapter, renamed only with administrator rights)
//   LinkLog   REG_DWORD, 1: each link opened writes its frames to %TEMP%\radiolink.log
#pragma once

#include <windows.h>

namespace radiolink {

// The longest port name a link opens ("COM1", "COM12", "CNCA0"...).
constexpr size_t kMaxPortName = 32;
using PortName = char[kMaxPortName + 1];

// 1 to kMaxPortName letters and digits ("COM7", "CNCA0").
bool IsPortName(const char* name);

// The port a link asked to open on `asked` opens: the current user's mapping of it, copied
// into `mapped`, or `asked` itself when there is none. A stored value that is not a port name
// counts as none.
const char* MappedPort(const char* asked, PortName& mapped);

// Maps port `from` to `to`, or removes the mapping of `from` when `to` is empty. Win32 error.
LSTATUS SetPortMapping(const char* from, const char* to);

// The index-th mapping of the current user, in the registry's order; false past the last.
bool PortMappingAt(DWORD index, PortName& from, PortName& to);

// The index-th serial port Windows lists (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM); false past the
// last.
bool SerialPortAt(DWORD index, PortName& name);

bool LinkLogOn();
LSTATUS SetLinkLog(bool on);

} // namespace radiolink

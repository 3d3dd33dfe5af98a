// rundll32 radiolink.dll,ChoosePort: the modal dialog in which a technician chooses the port
// COM1 opens, from a list (port_choices.h has what it lists and what OK stores). By keyboard:
// the list has the focus, the arrows choose, Enter is OK, Escape is Cancel. OK stores the
// choice and closes; if it cannot be stored, a warning says so and nothing changes. Cancel,
// Escape and the close box change nothing.
#pragma once

#include <windows.h>

namespace radiolink {

// The dialog of this DLL's resources (`module`), owned by `owner`; returns when it is closed.
void ShowPortDialog(HINSTANCE module, HWND owner);

} // namespace radiolink

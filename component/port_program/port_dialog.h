// hushwell-port.exe's one window: the modal dialog in which a technician chooses the port COM1
// opens, from a list (port_choices.h has what it lists and what OK stores). By keyboard: the list
// has the focus, the arrows choose, Enter is OK, Escape is Cancel. OK stores the choice and closes;
// if it cannot be stored, a warning says so and nothing changes. Cancel, Escape and the close box
// change nothing.
#pragma once

#include <windows.h>

namespace radiolink {

// The dialog of `module`'s resources (port_program.rc), owned by `owner`. Returns ERROR_SUCCESS
// when it has been closed, or at once the reason it could not be shown: no memory for its list
// (ERROR_NOT_ENOUGH_MEMORY), or DialogBoxParam's error (a missing template, no desktop).
DWORD RunPortDialog(HINSTANCE module, HWND owner);

// RunPortDialog, and a warning that says so when the dialog could not be shown.
DWORD ShowPortDialog(HINSTANCE module, HWND owner);

} // namespace radiolink

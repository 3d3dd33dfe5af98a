// hushwell-port.exe: the port dialog (port_dialog.h) as a small program of its own, the Start
// menu's "Hushwell radio port". A program rather than a rundll32 entry point of radiolink.dll:
// its manifest makes it aware of the display scale and gives it the themed common controls, it
// shows Hushwell's icon, managed PCs' protection does not flag it as it flags rundll32 loading a
// DLL from the user's own folder, and the DLL that every link loads carries no dialog. It links
// the link's serial port and the user's settings, and nothing of hushwell.exe's. Exit code 0, or
// the Win32 error that kept the dialog from opening (which it has then shown).
#include <windows.h>
#include <commctrl.h>

#include "component/port_program/port_dialog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The manifest asks for Common Controls 6; initialising comctl32 registers its themed classes.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    return static_cast<int>(radiolink::ShowPortDialog(instance, nullptr));
}

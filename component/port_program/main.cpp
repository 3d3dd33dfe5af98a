// hushwell-port.exe: the port dialog (component/port_dialog.h) as a small program of its own, the
// Start menu's "Hushwell radio port". Not rundll32 radiolink.dll,ChoosePort: this program's
// manifest makes it aware of the display scale and gives it the themed common controls, it shows
// Hushwell's icon, and managed PCs' protection does not flag it as it flags rundll32 loading a
// DLL from the user's own folder. It links the component's code (the dialog, its list, the
// user's settings) and nothing of hushwell.exe's. Exit code 0, or the Win32 error that kept the
// dialog from opening (which it has then shown).
#include <windows.h>
#include <commctrl.h>

#include "component/port_dialog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The manifest asks for Common Controls 6; initialising comctl32 registers its themed classes.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    return static_cast<int>(radiolink::ShowPortDialog(instance, nullptr));
}

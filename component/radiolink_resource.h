// Resource ids of the port dialog (port_dialog.rc), in radiolink.dll (rundll32
// radiolink.dll,ChoosePort) and in hushwell-port.exe.
#pragma once

#define IDD_CHOOSE_PORT 100

// Port dialog controls (OK and Cancel are IDOK and IDCANCEL).
#define IDC_PORT_LIST 1001
#define IDC_FIND_RADIO 1002
#define IDC_FIND_STATUS 1003

// hushwell-port.exe's icon (Hushwell's), which the dialog takes where it runs in that program.
#define IDI_PORT_PROGRAM 200

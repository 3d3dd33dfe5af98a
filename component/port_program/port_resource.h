// Resource ids of hushwell-port.exe (port_program.rc): the port dialog and its controls, and the
// program's icon (Hushwell's).
#pragma once

#define IDD_CHOOSE_PORT 100

// Port dialog controls (OK and Cancel are IDOK and IDCANCEL).
#define IDC_PORT_LIST 1001
#define IDC_FIND_RADIO 1002
#define IDC_FIND_STATUS 1003

#define IDI_PORT_PROGRAM 200

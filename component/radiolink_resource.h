// Resource ids of radiolink.dll (radiolink.rc): the port dialog of rundll32
// radiolink.dll,ChoosePort.
#pragma once

#define IDD_CHOOSE_PORT 100

// Port dialog controls (OK and Cancel are IDOK and IDCANCEL).
#define IDC_PORT_LIST 1001
#define IDC_FIND_RADIO 1002
#define IDC_FIND_STATUS 1003

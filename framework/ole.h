// The component runtime (OLE) of the user-interface thread.
#pragma once

#include <windows.h>

// Starts OLE on the calling thread (once; later calls only report success). FALSE when it
// cannot be started. CWinApp::ExitInstance ends it.
BOOL AfxOleInit();
// Ends what AfxOleInit started on the calling thread; nothing when it started nothing.
void AfxOleTerm();
// Hushwell hosts no ActiveX controls, so there is no container support to switch on; it exists
// so that start-up reads as the framework's programs do.
void AfxEnableControlContainer();

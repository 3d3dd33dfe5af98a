// CHushwellApp: the one application object. It starts the component runtime and runs the main
// dialog as the main window; when the dialog closes, the program ends.
#pragma once

#include "framework/afxwin.h"

class CHushwellApp : public CWinApp {
public:
    CHushwellApp();
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

#include "app/hushwell_app.h"

#include "dialog/hushwell_dlg.h"

BEGIN_MESSAGE_MAP(CHushwellApp, CWinApp)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CHushwellApp::CHushwellApp() = default;

CHushwellApp theApp;

BOOL CHushwellApp::InitInstance() {
    if (!AfxOleInit()) {
        AfxMessageBox("Could not initialize COM", MB_OK, 0);
    }
    AfxEnableControlContainer();
    Enable3dControls();

    CHushwellDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();

    // The dialog has ended: end the program rather than start the message loop.
    m_pMainWnd = nullptr;
    return FALSE;
}

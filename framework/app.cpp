#include "framework/app.h"

#include <ole2.h>

#include "framework/message_box.h"

namespace {

CWinApp* g_app = nullptr;
bool g_oleStarted = false;

} // namespace

CWinApp::CWinApp() {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

void CWinApp::OnHelp() {
    AfxMessageBox("No help file is installed. The system menu has the help for this program.",
                  MB_OK | MB_ICONINFORMATION);
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CWinApp* AfxGetApp() {
    return g_app;
}

BOOL AfxOleInit() {
    if (!g_oleStarted && FAILED(OleInitialize(nullptr))) {
        return FALSE;
    }
    g_oleStarted = true;
    return TRUE;
}

// The program's entry point. It is in this file so that the linker takes it out of the static
// library together with CWinApp, which every program built on the framework has.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (!g_app) {
        return EXIT_FAILURE; // a program built on the framework defines its application object
    }
    g_app->InitInstance();
    if (g_oleStarted) {
        OleUninitialize();
    }
    return 0;
}

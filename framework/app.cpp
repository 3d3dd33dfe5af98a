#include "framework/app.h"

#include <cstdlib>

#include "framework/message_box.h"
#include "framework/ole.h"
#include "framework/wnd.h"

namespace {

CWinApp* g_app = nullptr;

} // namespace

// Defined beside WinMain: calling it makes the linker take WinMain out of the static library
// whenever the program has an application object.
void AfxLinkWinMain();

CWinApp::CWinApp(const char* appName)
    : m_hInstance(GetModuleHandleA(nullptr)), m_pszAppName(appName) {
    if (g_app) {
        // A second application object is a programming error that nothing can recover from.
        std::abort();
    }
    g_app = this;
    AfxLinkWinMain();
}

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    AfxOleTerm();
    return m_exitCode;
}

int CWinApp::Run() {
    MSG msg = {};
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        HWND main = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
        if (main && IsDialogMessageA(main, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    m_exitCode = got == 0 ? static_cast<int>(msg.wParam) : -1;
    return m_exitCode;
}

BOOL CWinApp::Enable3dControls() {
    return TRUE;
}

HICON CWinApp::LoadIcon(UINT id) const {
    return ::LoadIconA(m_hInstance, MAKEINTRESOURCEA(id));
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

HINSTANCE AfxGetInstanceHandle() {
    return g_app ? g_app->m_hInstance : GetModuleHandleA(nullptr);
}

// A small program on the framework, with its own application object and no WinMain: the
// framework's start-up runs it. The command line picks what InitInstance does; the exit code
// tells the test what happened.
#include <string>

#include "framework/afxwin.h"
#include "tests/framework/test_resources.h"

namespace {

// Exit codes: ExitInstance adds kExitInstanceRan to the code of the base ExitInstance (the quit
// code of the message loop, 0 without one), and kMessageLeft when the message InitInstance
// posted was never taken by a loop.
constexpr int kExitInstanceRan = 20;
constexpr int kMessageLeft = 100;
constexpr int kQuitCode = 7;

// Bits of the up-down check. (Asking whether the class exists would not do: Wine loads the
// common controls on demand when their classes are looked up; Windows does not.)
constexpr int kComctlLoadedBefore = 1;
constexpr int kDialogFailed = 2;
constexpr int kNoUpDownControl = 4;

class UpDownDialog : public CDialog {
public:
    UpDownDialog() : CDialog(IDD_EXCHANGE) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        char name[64] = {};
        GetClassNameA(::GetDlgItem(m_hWnd, IDC_SPIN), name, sizeof name);
        EndDialog(std::string(name) == "msctls_updown32" ? IDOK : IDCANCEL);
        return TRUE;
    }
};

class ProbeApp : public CWinApp {
public:
    BOOL InitInstance() override {
        const std::string mode = GetCommandLineA();
        if (mode.find("updown") != std::string::npos) {
            return CheckUpDown();
        }
        PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
        PostQuitMessage(kQuitCode);
        return mode.find("init-true") != std::string::npos;
    }

    int ExitInstance() override {
        if (m_upDownResult >= 0) {
            CWinApp::ExitInstance();
            return m_upDownResult;
        }
        MSG msg;
        const bool left = PeekMessageA(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE) != FALSE;
        return CWinApp::ExitInstance() + kExitInstanceRan + (left ? kMessageLeft : 0);
    }

private:
    BOOL CheckUpDown() {
        m_upDownResult = 0;
        if (GetModuleHandleA("comctl32.dll")) {
            m_upDownResult |= kComctlLoadedBefore;
        }
        UpDownDialog dialog;
        const INT_PTR result = dialog.DoModal();
        if (result == -1) {
            m_upDownResult |= kDialogFailed;
        } else if (result != IDOK) {
            m_upDownResult |= kNoUpDownControl;
        }
        return FALSE;
    }

    int m_upDownResult = -1;
};

ProbeApp theApp;

} // namespace

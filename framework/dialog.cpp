#include "framework/dialog.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/app.h"

namespace {

// The up-down control class lives in the common controls library. Loading it at run time keeps
// the program's import table free of it.
void RegisterCommonControlClasses() {
    static bool registered = false;
    if (registered) {
        return;
    }
    const HMODULE library = LoadLibraryA("comctl32.dll");
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    // Through the generic function type, which converts to and from any other.
    const auto init = reinterpret_cast<InitFunction>(reinterpret_cast<void (*)()>(
        library ? GetProcAddress(library, "InitCommonControlsEx") : nullptr));
    const INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_UPDOWN_CLASS};
    registered = init && init(&classes);
    if (!registered) { // creating the dialog then fails, and DoModal returns -1
        OutputDebugStringA("The up-down control class could not be registered\n");
    }
}

// The innermost running DoModal; each links to the one it runs inside.
CDialog* g_innermostModal = nullptr;

} // namespace

INT_PTR CDialog::DoModal() {
    RegisterCommonControlClasses();
    m_outerModal = g_innermostModal;
    g_innermostModal = this;
    const INT_PTR result =
        DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_templateId), ModalOwner(),
                        &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    g_innermostModal = m_outerModal;
    return result;
}

CDialog* AfxGetRunningModalDialog() {
    CDialog* dialog = g_innermostModal;
    while (dialog && !dialog->GetSafeHwnd()) {
        dialog = dialog->m_outerModal;
    }
    return dialog;
}

HWND CDialog::ModalOwner() const {
    if (m_pParentWnd) {
        return m_pParentWnd->GetSafeHwnd();
    }
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd && app->m_pMainWnd != this) {
        return app->m_pMainWnd->GetSafeHwnd();
    }
    return nullptr;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
    // Only the first message comes here; from then on the window procedure is the framework's
    // and the dialog manager sees every message the map leaves to Default().
    if (message != WM_INITDIALOG || FromHandle(hwnd)) {
        return FALSE;
    }
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    dialog->Attach(hwnd);
    dialog->CentreOverOwner();
    return dialog->OnInitDialog();
}

void CDialog::CentreOverOwner() {
    RECT dialog;
    ::GetWindowRect(m_hWnd, &dialog);
    const HWND owner = GetWindow(m_hWnd, GW_OWNER);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(owner ? owner : m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT area = monitor.rcWork;
    if (owner && IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    }
    const LONG width = dialog.right - dialog.left;
    const LONG height = dialog.bottom - dialog.top;
    LONG left = area.left + (area.right - area.left - width) / 2;
    LONG top = area.top + (area.bottom - area.top - height) / 2;
    // Keep it on the screen, even over an owner near an edge.
    const RECT& work = monitor.rcWork;
    left = std::max(work.left, std::min(left, work.right - width));
    top = std::max(work.top, std::min(top, work.bottom - height));
    SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) {
        EndDialog(IDOK);
    }
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

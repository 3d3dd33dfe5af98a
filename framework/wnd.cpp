#include "framework/wnd.h"

#include <new>

#include "framework/app.h"
#include "framework/data_exchange.h"
#include "framework/wrappers.h"

namespace {

// The window property that links an attached window to its CWnd.
constexpr char kWndProperty[] = "Hushwell.CWnd";

} // namespace

CWnd::~CWnd() {
    if (m_superProc && m_hWnd) {
        Detach();
    }
    while (CWnd* child = m_firstChild) {
        m_firstChild = child->m_nextChild;
        delete child;
    }
}

CWnd* CWnd::GetDlgItem(int id) {
    const HWND hwnd = ::GetDlgItem(m_hWnd, id);
    if (!hwnd) {
        return nullptr;
    }
    for (CWnd* child = m_firstChild; child; child = child->m_nextChild) {
        if (child->m_hWnd == hwnd) {
            return child;
        }
    }
    CWnd* child = new (std::nothrow) CWnd;
    if (!child) {
        OutputDebugStringA("CWnd::GetDlgItem: out of memory\n");
        return nullptr;
    }
    child->m_hWnd = hwnd;
    child->m_nextChild = m_firstChild;
    m_firstChild = child;
    return child;
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange exchange(this, bSaveAndValidate);
    DoDataExchange(&exchange);
    return !exchange.m_bFailed;
}

LRESULT CWnd::Default() {
    return CallWindowProcA(m_superProc, m_hWnd, m_current->message, m_current->wParam,
                           m_current->lParam);
}

CMenu* CWnd::GetSystemMenu(BOOL revert) const {
    static CMenu menu; // the program has one thread and uses the wrapper at once
    menu.m_hMenu = ::GetSystemMenu(m_hWnd, revert);
    return menu.m_hMenu ? &menu : nullptr;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    return static_cast<CWnd*>(GetPropA(hwnd, kWndProperty));
}

void CWnd::Attach(HWND hwnd) {
    m_hWnd = hwnd;
    SetPropA(hwnd, kWndProperty, this);
    m_superProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AttachedWindowProc)));
}

void CWnd::Detach() {
    SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
    RemovePropA(m_hWnd, kWndProperty);
    m_superProc = nullptr;
    m_hWnd = nullptr;
    for (CWnd* child = m_firstChild; child; child = child->m_nextChild) {
        child->m_hWnd = nullptr;
    }
}

LRESULT CALLBACK CWnd::AttachedWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandle(hwnd); // set for as long as this procedure is the window's
    if (message == WM_NCDESTROY) {
        const WNDPROC super = wnd->m_superProc;
        wnd->Detach();
        return CallWindowProcA(super, hwnd, message, wParam, lParam);
    }
    const MSG current = {hwnd, message, wParam, lParam, 0, {}};
    const MSG* outer = wnd->m_current;
    wnd->m_current = &current;
    LRESULT result = 0;
    if (!wnd->OnWndMsg(message, wParam, lParam, &result)) {
        result = wnd->Default();
    }
    wnd->m_current = outer;
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        *result = 0;
        return OnCommand(wParam, lParam);
    }
    if (message == WM_HELP) {
        // F1: the help command, through the window's map and then the application's.
        *result = TRUE;
        return OnCommand(MAKEWPARAM(ID_HELP, 0), 0);
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0, 0);
    if (!entry) {
        return FALSE;
    }
    *result = entry->handler(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    // Menus and accelerators (no control) are commands; controls send their notification code.
    const UINT code = lParam ? HIWORD(wParam) : 0;
    if (OnCmdMsg(id, code)) {
        return TRUE;
    }
    // Commands nobody here handles go to the application (ID_HELP reaches CWinApp::OnHelp).
    CWinApp* app = AfxGetApp();
    return code == 0 && app && app->OnCmdMsg(id, code);
}

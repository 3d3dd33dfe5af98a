#include "framework/wnd.h"

#include "framework/app.h"
#include "framework/data_exchange.h"
#include "framework/gdi.h"

namespace {

// The window property that links an attached window to its CWnd.
constexpr char kWndProperty[] = "Hushwell.CWnd";

} // namespace

CWnd::~CWnd() {
    if (m_superProc && m_hWnd) {
        Detach();
    }
}

CWnd* CWnd::GetDlgItem(int id) {
    const HWND child = ::GetDlgItem(m_hWnd, id);
    if (!child) {
        return nullptr;
    }
    std::unique_ptr<CWnd>& wrapper = m_children[id];
    if (!wrapper) {
        wrapper = std::make_unique<CWnd>();
    }
    wrapper->m_hWnd = child;
    return wrapper.get();
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange exchange(this, bSaveAndValidate);
    try {
        DoDataExchange(&exchange);
    } catch (const CUserException&) {
        return FALSE; // the operator has been told
    } catch (...) {
        return FALSE; // nothing escapes into the window procedure
    }
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

LRESULT CWnd::Default() {
    if (!m_current) {
        return 0;
    }
    if (m_superProc) {
        return CallWindowProcA(m_superProc, m_hWnd, m_current->message, m_current->wParam,
                               m_current->lParam);
    }
    return DefWindowProcA(m_hWnd, m_current->message, m_current->wParam, m_current->lParam);
}

CMenu* CWnd::GetSystemMenu(BOOL revert) const {
    const HMENU menu = ::GetSystemMenu(m_hWnd, revert);
    return menu ? CMenu::FromHandle(menu) : nullptr;
}

BOOL CWnd::IsIconic() const {
    return ::IsIconic(m_hWnd);
}

void CWnd::GetClientRect(LPRECT rect) const {
    ::GetClientRect(m_hWnd, rect);
}

void CWnd::GetWindowRect(LPRECT rect) const {
    ::GetWindowRect(m_hWnd, rect);
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
    for (auto& child : m_children) {
        child.second->m_hWnd = nullptr;
    }
}

LRESULT CALLBACK CWnd::AttachedWindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept {
    CWnd* wnd = FromHandle(hwnd);
    if (!wnd) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        const WNDPROC super = wnd->m_superProc;
        wnd->Detach();
        return CallWindowProcA(super, hwnd, message, wParam, lParam);
    }
    const CurrentMessage current = {message, wParam, lParam};
    const CurrentMessage* outer = wnd->m_current;
    wnd->m_current = &current;
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    wnd->m_current = outer;
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result)) {
        return result;
    }
    return Default();
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        *result = 0;
        return OnCommand(wParam, lParam);
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

#include "framework/dialog.h"

#include <commctrl.h>

#include <vector>

#include "framework/app.h"

namespace {

// The up-down control class lives in the common controls library. Loading it at run time keeps
// the program's import table free of it.
void RegisterCommonControlClasses() {
    static const bool registered = [] {
        const HMODULE library = LoadLibraryA("comctl32.dll");
        if (!library) {
            return false;
        }
        using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
        // Through the generic function type, which converts to and from any other.
        const auto init = reinterpret_cast<InitFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(library, "InitCommonControlsEx")));
        if (!init) {
            return false;
        }
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_UPDOWN_CLASS};
        return init(&classes) != FALSE;
    }();
    (void)registered; // without the class, creating the dialog fails and DoModal returns -1
}

// The dialogs whose DoModal is running on this thread, innermost last.
thread_local std::vector<CDialog*> t_runningModal;

struct TemplatePlacement {
    DWORD style;
    short x;
    short y;
};

// Style and position of a dialog template, plain (DLGTEMPLATE) or extended (DLGTEMPLATEEX).
bool ReadTemplatePlacement(HINSTANCE module, UINT id, TemplatePlacement* placement) {
    const HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    const HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const auto* bytes = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    if (!bytes || SizeofResource(module, resource) < 26) {
        return false;
    }
    auto word = [bytes](size_t at) { return static_cast<WORD>(bytes[at] | bytes[at + 1] << 8); };
    auto dword = [&word](size_t at) { return static_cast<DWORD>(word(at) | word(at + 2) << 16); };
    const bool extended = word(0) == 1 && word(2) == 0xFFFF;
    // Extended: version, signature, help id, extended style, style, item count, x, y.
    // Plain: style, extended style, item count, x, y.
    placement->style = extended ? dword(12) : dword(0);
    placement->x = static_cast<short>(word(extended ? 18 : 10));
    placement->y = static_cast<short>(word(extended ? 20 : 12));
    return true;
}

} // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_pParentWnd(parent) {}

INT_PTR CDialog::DoModal() {
    RegisterCommonControlClasses();
    t_runningModal.push_back(this);
    const INT_PTR result =
        DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_templateId), ModalOwner(),
                        &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    t_runningModal.pop_back();
    return result;
}

CDialog* AfxGetRunningModalDialog() {
    for (auto it = t_runningModal.rbegin(); it != t_runningModal.rend(); ++it) {
        if ((*it)->GetSafeHwnd()) {
            return *it;
        }
    }
    return nullptr;
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

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) noexcept {
    // Only the first message comes here; from then on the window procedure is the framework's
    // and the dialog manager sees every message the map leaves to Default().
    if (message != WM_INITDIALOG || FromHandle(hwnd)) {
        return FALSE;
    }
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    dialog->Attach(hwnd);
    dialog->CentreIfUnplaced();
    return dialog->OnInitDialog();
}

void CDialog::CentreIfUnplaced() {
    TemplatePlacement placement;
    if (!ReadTemplatePlacement(AfxGetInstanceHandle(), m_templateId, &placement) ||
        placement.x != 0 || placement.y != 0 ||
        (placement.style & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN)) != 0) {
        return;
    }
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
    left = left + width > work.right ? work.right - width : left;
    top = top + height > work.bottom ? work.bottom - height : top;
    left = left < work.left ? work.left : left;
    top = top < work.top ? work.top : top;
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

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result) {
    ::EndDialog(m_hWnd, result);
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (CWnd::OnWndMsg(message, wParam, lParam, result)) {
        return TRUE;
    }
    if (message == WM_HELP) {
        // F1: the help command, through the dialog's map and then the application's.
        *result = TRUE;
        return OnCommand(MAKEWPARAM(ID_HELP, 0), 0);
    }
    return FALSE;
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

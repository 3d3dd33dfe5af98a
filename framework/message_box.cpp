#include "framework/message_box.h"

#include "framework/app.h"
#include "framework/dialog.h"
#include "framework/wnd.h"

#include <utility>

const std::string& AfxGetAppName() {
    static const std::string name = [] {
        char path[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string file(path, length < MAX_PATH ? length : 0);
        const size_t slash = file.find_last_of("\\/");
        if (slash != std::string::npos) {
            file.erase(0, slash + 1);
        }
        const size_t dot = file.find_last_of('.');
        if (dot != std::string::npos) {
            file.erase(dot);
        }
        return file;
    }();
    return name;
}

namespace {

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    return MessageBoxA(owner, text, caption, type);
}

MessageBoxFunction g_showMessageBox = ShowMessageBox;

HWND MessageBoxOwner() {
    // The handler that shows the box runs inside the innermost modal dialog of this thread. That
    // does not depend on which program has the foreground, as the active window does.
    if (CDialog* dialog = AfxGetRunningModalDialog()) {
        return dialog->GetSafeHwnd();
    }
    HWND owner = GetActiveWindow();
    if (!owner) {
        if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd) {
            owner = app->m_pMainWnd->GetSafeHwnd();
        }
    }
    // Own the box by the top-level window, as a modal dialog would.
    if (owner) {
        owner = GetAncestor(owner, GA_ROOT);
        if (HWND popup = GetLastActivePopup(owner)) {
            owner = popup;
        }
    }
    return owner;
}

} // namespace

int AfxMessageBox(const char* text, UINT type, UINT /*helpId*/) {
    return g_showMessageBox(MessageBoxOwner(), text, AfxGetAppName().c_str(), type);
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction show) {
    return std::exchange(g_showMessageBox, show ? show : ShowMessageBox);
}

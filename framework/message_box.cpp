#include "framework/message_box.h"

#include <cstring>
#include <utility>

#include "framework/dialog.h"

namespace {

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    return MessageBoxA(owner, text, caption, type);
}

MessageBoxFunction g_showMessageBox = ShowMessageBox;

} // namespace

int AfxMessageBox(const char* text, UINT type, UINT /*helpId*/) {
    char caption[MAX_PATH] = {}; // empty when the path does not fit
    if (GetModuleFileNameA(nullptr, caption, MAX_PATH) >= MAX_PATH) {
        caption[0] = '\0';
    }
    const char* name = caption;
    for (const char* at = caption; *at; ++at) {
        name = *at == '\\' || *at == '/' ? at + 1 : name;
    }
    if (char* dot = std::strrchr(caption, '.'); dot && dot >= name) {
        *dot = '\0';
    }
    // The handler that shows the box runs inside the innermost running dialog. That does not
    // depend on which program has the foreground, as the active window does.
    CDialog* dialog = AfxGetRunningModalDialog();
    return g_showMessageBox(dialog ? dialog->GetSafeHwnd() : nullptr, text, name, type);
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction show) {
    return std::exchange(g_showMessageBox, show ? show : ShowMessageBox);
}

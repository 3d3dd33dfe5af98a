#include "tests/dialog/dialog_session.h"

#include <commctrl.h>

#include <stdexcept>

DialogSession::DialogSession(std::function<void(FakeRadio&)> setUp)
    : m_boxes(std::make_unique<MessageBoxWatcher>(
          [this](const SeenMessageBox& box) { m_log.Add("MessageBox: " + box.text); })),
      m_ready(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      m_ended(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    m_ui = std::thread([this, setUp] { RunUiThread(setUp); });
    if (WaitForSingleObject(m_ready, 10000) != WAIT_OBJECT_0 || !m_hwnd) {
        throw std::runtime_error("the main dialog did not open");
    }
}

DialogSession::~DialogSession() {
    if (WaitForSingleObject(m_ended, 0) != WAIT_OBJECT_0 && m_hwnd) {
        PostMessageA(m_hwnd, WM_COMMAND, IDCANCEL, 0);
    }
    if (m_ui.joinable()) {
        m_ui.join();
    }
    m_boxes.reset();
    CloseHandle(m_ready);
    CloseHandle(m_ended);
}

void DialogSession::RunUiThread(std::function<void(FakeRadio&)> setUp) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m_radio.emplace(m_log);
    if (setUp) {
        setUp(*m_radio);
    }
    // As in the program: the main dialog is the application's main window, so the About and
    // help dialogs it opens are owned by it.
    CWinApp app;
    m_dialog = std::make_unique<CHushwellDlg>();
    app.m_pMainWnd = m_dialog.get();
    // The operator may start once the dialog has run OnInitDialog and shows.
    std::thread watcher([this] {
        for (int i = 0; i < 1000 && !m_hwnd; ++i) {
            m_hwnd = m_dialog->GetSafeHwnd();
            if (m_hwnd && IsWindowVisible(m_hwnd)) {
                break;
            }
            m_hwnd = nullptr;
            Sleep(5);
        }
        SetEvent(m_ready);
    });
    m_result = m_dialog->DoModal();
    watcher.join();
    SetEvent(m_ended);
    app.m_pMainWnd = nullptr;
    m_dialog.reset();
    m_radio.reset();
    CoUninitialize();
}

void DialogSession::Press(int id) {
    SendMessageA(m_hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(id)));
}

void DialogSession::SysCommand(UINT id) {
    PostMessageA(m_hwnd, WM_SYSCOMMAND, id, 0);
}

void DialogSession::Type(const std::string& text) {
    SendMessageA(Item(1005), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string DialogSession::EntryText() const {
    return WindowText(Item(1005));
}

std::pair<int, int> DialogSession::SpinRange() const {
    int lower = -1, upper = -1;
    SendMessageA(Item(1007), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                 reinterpret_cast<LPARAM>(&upper));
    return {lower, upper};
}

HWND DialogSession::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(m_hwnd, nullptr), &info);
    return info.hwndFocus;
}

INT_PTR DialogSession::Close() {
    PostMessageA(m_hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    return WaitForEnd(5000).value_or(-3);
}

std::optional<INT_PTR> DialogSession::WaitForEnd(DWORD timeoutMs) {
    if (WaitForSingleObject(m_ended, timeoutMs) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    return m_result;
}

std::string WindowText(HWND hwnd) {
    char text[1024] = {};
    SendMessageA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

namespace {

struct CaptionSearch {
    const char* caption;
    HWND* found;
};

BOOL CALLBACK FindCaption(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<CaptionSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(hwnd) &&
        WindowText(hwnd) == search->caption) {
        *search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND WaitForDialog(const char* caption, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 10) {
        HWND found = nullptr;
        CaptionSearch search{caption, &found};
        EnumWindows(&FindCaption, reinterpret_cast<LPARAM>(&search));
        if (found) {
            return found;
        }
        Sleep(10);
    }
    return nullptr;
}

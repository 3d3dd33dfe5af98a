#include "tests/lib/message_boxes.h"

#include <chrono>

#include "framework/message_box.h"

namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr DWORD kPollMilliseconds = 10;

std::string ClassName(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// Text of a window of this process, asked of its thread without blocking the watcher for long
// (the thread that owns the box is inside the box's modal loop and answers).
std::string TextOf(HWND hwnd) {
    char text[4096] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 2000, &copied);
    return std::string(text, copied < sizeof text ? copied : 0);
}

// The box's text control. Its id is 0xFFFF in the template; a 64-bit Wine stores it widened
// with its sign (-1), so both are asked for.
HWND MessageTextControl(HWND box) {
    if (HWND text = GetDlgItem(box, kMessageTextId)) {
        return text;
    }
    return GetDlgItem(box, -1);
}

bool ShowsIcon(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        if (ClassName(child) == "Static" && (style & SS_TYPEMASK) == SS_ICON &&
            IsWindowVisible(child) && SendMessageA(child, STM_GETICON, 0, 0) != 0) {
            return true;
        }
    }
    return false;
}

// A message box of this process that is on screen (it becomes visible once its text is set): a
// dialog with its text in the static control 0xFFFF, titled with the program's name (Windows
// also marks the boxes it makes with its own module; Wine does not).
bool IsMessageBox(HWND hwnd) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(hwnd) || ClassName(hwnd) != "#32770") {
        return false;
    }
    const HWND text = MessageTextControl(hwnd);
    if (!text || ClassName(text) != "Static") {
        return false;
    }
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd, GWLP_HINSTANCE));
    return instance == GetModuleHandleA("user32.dll") || TextOf(hwnd) == AfxGetAppName();
}

BOOL CALLBACK CollectBox(HWND hwnd, LPARAM found) {
    if (IsMessageBox(hwnd)) {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(hwnd);
    }
    return TRUE;
}

} // namespace

MessageBoxWatcher::MessageBoxWatcher() : m_thread([this] { Watch(); }) {}

MessageBoxWatcher::MessageBoxWatcher(std::function<void(const SeenMessageBox&)> onBox)
    : m_onBox(std::move(onBox)), m_thread([this] { Watch(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    m_stop = true;
    m_thread.join();
}

void MessageBoxWatcher::Watch() {
    while (!m_stop) {
        CloseNewBoxes();
        Sleep(kPollMilliseconds);
    }
}

void MessageBoxWatcher::CloseNewBoxes() {
    std::vector<HWND> found;
    EnumWindows(&CollectBox, reinterpret_cast<LPARAM>(&found));
    std::vector<SeenMessageBox> seen;
    std::vector<HWND> toPress;
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        // Forget boxes that have gone, so a later box with a reused handle counts again.
        for (auto it = m_pressed.begin(); it != m_pressed.end();) {
            it = IsWindow(*it) ? std::next(it) : m_pressed.erase(it);
        }
        for (HWND box : found) {
            if (m_pressed.count(box) == 0) {
                toPress.push_back(box);
            }
        }
    }
    for (HWND box : toPress) {
        seen.push_back({TextOf(box), TextOf(MessageTextControl(box)), GetWindow(box, GW_OWNER),
                        ShowsIcon(box)});
    }
    if (toPress.empty()) {
        return;
    }
    {
        // Recorded before the box is closed, so the box's caller finds it recorded on return.
        const std::lock_guard<std::mutex> guard(m_lock);
        for (size_t i = 0; i < toPress.size(); ++i) {
            m_pressed.insert(toPress[i]);
            m_boxes.push_back(seen[i]);
        }
    }
    m_seen.notify_all();
    if (m_onBox) {
        for (const SeenMessageBox& box : seen) {
            m_onBox(box);
        }
    }
    for (HWND box : toPress) {
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
}

std::vector<SeenMessageBox> MessageBoxWatcher::Boxes() const {
    const std::lock_guard<std::mutex> guard(m_lock);
    return m_boxes;
}

std::vector<std::string> MessageBoxWatcher::Texts() const {
    std::vector<std::string> texts;
    for (const SeenMessageBox& box : Boxes()) {
        texts.push_back(box.text);
    }
    return texts;
}

std::vector<std::string> MessageBoxWatcher::Captions() const {
    std::vector<std::string> captions;
    for (const SeenMessageBox& box : Boxes()) {
        captions.push_back(box.caption);
    }
    return captions;
}

void MessageBoxWatcher::Clear() {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_boxes.clear();
}

bool MessageBoxWatcher::WaitForBoxes(size_t count, DWORD timeoutMs) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        std::unique_lock<std::mutex> guard(m_lock);
        if (m_boxes.size() >= count) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        m_seen.wait_for(guard, std::chrono::milliseconds(kPollMilliseconds));
    }
}

#include "tests/e2e/driver/popups.h"

#include <cstring>
#include <iterator>

#include "tests/e2e/driver/json_line.h"
#include "tests/e2e/driver/window_text.h"

namespace {

constexpr char kDialogClass[] = "#32770";

struct Search {
    DWORD processId;
    HWND main;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectPopup(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == search->processId && hwnd != search->main && IsWindowVisible(hwnd) &&
        ClassNameOf(hwnd) == kDialogClass) {
        search->found.push_back(hwnd);
    }
    return TRUE;
}

bool IsTextStatic(HWND control) {
    if (_stricmp(ClassNameOf(control).c_str(), "Static") != 0) {
        return false;
    }
    const LONG type = GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK;
    return type != SS_ICON && type != SS_BITMAP && type != SS_ENHMETAFILE;
}

Popup Read(HWND popup) {
    Popup seen;
    seen.caption = WindowTextOf(popup);
    // Children in z-order, which is the template order.
    for (HWND child = GetWindow(popup, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsTextStatic(child)) {
            const std::string text = WindowTextOf(child);
            if (!text.empty()) {
                seen.texts.push_back(text);
            }
        }
    }
    return seen;
}

} // namespace

std::string PopupsJson(const std::vector<Popup>& popups) {
    std::string out = "[";
    for (size_t i = 0; i < popups.size(); ++i) {
        out += i == 0 ? "" : ",";
        out += "{\"caption\":" + JsonString(popups[i].caption) +
               ",\"texts\":" + JsonStringArray(popups[i].texts) + "}";
    }
    return out + "]";
}

std::vector<HWND> PopupWatcher::VisiblePopups() const {
    Search search{m_processId, m_main, {}};
    EnumWindows(&CollectPopup, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool PopupWatcher::AnyVisible() const {
    return !VisiblePopups().empty();
}

std::vector<Popup> PopupWatcher::AnswerNew() {
    // Forget popups that have gone, so that a later one with a reused handle counts again.
    for (auto it = m_answered.begin(); it != m_answered.end();) {
        it = IsWindow(*it) ? std::next(it) : m_answered.erase(it);
    }
    std::vector<Popup> seen;
    for (HWND popup : VisiblePopups()) {
        if (m_answered.count(popup) != 0) {
            continue;
        }
        // Read before it is answered: the program's handler waits on it until then.
        Popup read = Read(popup);
        if (read.caption == m_mainCaption) {
            continue;
        }
        seen.push_back(std::move(read));
        m_answered.insert(popup);
        PostMessageW(popup, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    return seen;
}

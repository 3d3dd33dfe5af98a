#include "framework/data_exchange.h"

#include <cstdint>
#include <optional>
#include <string>

#include "framework/message_box.h"
#include "framework/wnd.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// An unsigned decimal number, optionally surrounded by blanks; nothing else.
std::optional<UINT> ParseUnsigned(const std::string& text) {
    size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    if (at == text.size() || !IsDigit(text[at])) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        value = value * 10 + static_cast<unsigned>(text[at] - '0');
        if (value > UINT32_MAX) {
            return std::nullopt;
        }
    }
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    return static_cast<UINT>(value);
}

std::string WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(hwnd, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

} // namespace

CDataExchange::CDataExchange(CWnd* dlgWnd, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dlgWnd) {}

HWND CDataExchange::PrepareEditCtrl(int id) {
    m_lastEdit = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), id);
    return m_lastEdit;
}

void CDataExchange::Fail() {
    if (m_lastEdit) {
        // Through the dialog manager, so that the default push button follows the focus.
        SendMessageA(m_pDlgWnd->GetSafeHwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_lastEdit),
                     TRUE);
        if (GetFocus() != m_lastEdit) {
            SetFocus(m_lastEdit);
        }
        SendMessageA(m_lastEdit, EM_SETSEL, 0, -1);
    }
    throw CUserException();
}

void DDX_Text(CDataExchange* pDX, int id, UINT& value) {
    const HWND edit = pDX->PrepareEditCtrl(id);
    if (!pDX->m_bSaveAndValidate) {
        const std::string shown = std::to_string(value);
        if (WindowText(edit) != shown) {
            SetWindowTextA(edit, shown.c_str());
        }
        return;
    }
    const std::optional<UINT> parsed = ParseUnsigned(WindowText(edit));
    if (!parsed) {
        AfxMessageBox("Please enter a whole number of 0 or more.", AFX_VALIDATION_MESSAGE_TYPE);
        pDX->Fail();
    }
    value = *parsed;
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT min, UINT max) {
    if (!pDX->m_bSaveAndValidate || (value >= min && value <= max)) {
        return;
    }
    const std::string text = "Please enter a whole number between " + std::to_string(min) +
                             " and " + std::to_string(max) + ".";
    AfxMessageBox(text.c_str(), AFX_VALIDATION_MESSAGE_TYPE);
    pDX->Fail();
}

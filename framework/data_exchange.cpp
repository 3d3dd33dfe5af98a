#include "framework/data_exchange.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "framework/message_box.h"
#include "framework/wnd.h"

namespace {

// The type of the framework's own validation messages.
constexpr UINT kValidationMessageType = MB_OK | MB_ICONEXCLAMATION;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// An unsigned decimal number, optionally surrounded by blanks; nothing else.
bool ParseUnsigned(const char* text, UINT* value) {
    while (IsBlank(*text)) {
        ++text;
    }
    if (!IsDigit(*text)) {
        return false;
    }
    std::uint64_t number = 0;
    for (; IsDigit(*text); ++text) {
        number = number * 10 + static_cast<unsigned>(*text - '0');
        if (number > UINT32_MAX) {
            return false;
        }
    }
    while (IsBlank(*text)) {
        ++text;
    }
    if (*text != '\0') {
        return false;
    }
    *value = static_cast<UINT>(number);
    return true;
}

} // namespace

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
    m_bFailed = TRUE;
}

void DDX_Text(CDataExchange* pDX, int id, UINT& value) {
    if (pDX->m_bFailed) {
        return;
    }
    const HWND edit = pDX->PrepareEditCtrl(id);
    if (!pDX->m_bSaveAndValidate) {
        char shown[16], current[16] = {}; // a text longer than 15 characters differs anyway
        wsprintfA(shown, "%u", value);
        GetWindowTextA(edit, current, sizeof current);
        if (std::strcmp(current, shown) != 0) {
            SetWindowTextA(edit, shown);
        }
        return;
    }
    // On the heap: an entry may be long (blanks and leading zeros are allowed).
    const int length = GetWindowTextLengthA(edit);
    const std::unique_ptr<char[]> text(new (std::nothrow) char[length + 1]());
    if (!text) {
        OutputDebugStringA("DDX_Text: no memory for the entry's text\n");
        pDX->m_bFailed = TRUE; // nothing to tell the operator that would help
        return;
    }
    GetWindowTextA(edit, text.get(), length + 1);
    if (!ParseUnsigned(text.get(), &value)) {
        AfxMessageBox("Please enter a whole number of 0 or more.", kValidationMessageType);
        pDX->Fail();
    }
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT min, UINT max) {
    if (pDX->m_bFailed || !pDX->m_bSaveAndValidate || (value >= min && value <= max)) {
        return;
    }
    char text[80];
    wsprintfA(text, "Please enter a whole number between %u and %u.", min, max);
    AfxMessageBox(text, kValidationMessageType);
    pDX->Fail();
}

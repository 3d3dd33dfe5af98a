// Dialog data exchange: moves values between members and controls, and validates entries.
#pragma once

#include <windows.h>

class CWnd;

// Thrown by CDataExchange::Fail once the operator has been told what is wrong; UpdateData
// catches it.
class CUserException {};

class CDataExchange {
public:
    CDataExchange(CWnd* dlgWnd, BOOL saveAndValidate);

    // The edit control with the id, remembered as the one a failure returns the focus to.
    HWND PrepareEditCtrl(int id);
    // Puts the focus back in the last prepared edit control with its whole text selected, then
    // fails the exchange.
    [[noreturn]] void Fail();

    BOOL m_bSaveAndValidate; // TRUE: controls to members, with validation; FALSE: members shown
    CWnd* m_pDlgWnd;

private:
    HWND m_lastEdit = nullptr;
};

// The type of the framework's own validation messages.
constexpr UINT AFX_VALIDATION_MESSAGE_TYPE = MB_OK | MB_ICONEXCLAMATION;

// Showing: the value as a decimal number. Saving: blanks (spaces, tabs) may surround one or more
// digits 0-9 whose value fits 32 bits; anything else shows the number message, leaves the value
// unchanged and fails the exchange.
void DDX_Text(CDataExchange* pDX, int id, UINT& value);
// Saving: a value outside min..max shows the range message and fails the exchange. Showing:
// nothing.
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT min, UINT max);

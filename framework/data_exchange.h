// Dialog data exchange: moves values between members and controls, and validates entries.
#pragma once

#include <windows.h>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dlgWnd, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dlgWnd) {}

    // The edit control with the id, remembered as the one a failure returns the focus to.
    HWND PrepareEditCtrl(int id);
    // Called once the operator has been told what is wrong: puts the focus back in the last
    // prepared edit control with its whole text selected, and fails the exchange.
    void Fail();

    BOOL m_bSaveAndValidate; // TRUE: controls to members, with validation; FALSE: members shown
    CWnd* m_pDlgWnd;
    // Set by Fail: the DDX_ and DDV_ calls after it do nothing, and UpdateData returns FALSE.
    BOOL m_bFailed = FALSE;

private:
    HWND m_lastEdit = nullptr;
};

// Showing: the value as a decimal number. Saving: blanks (spaces, tabs) may surround one or more
// digits 0-9 whose value fits 32 bits; anything else shows the number message, leaves the value
// unchanged and fails the exchange.
void DDX_Text(CDataExchange* pDX, int id, UINT& value);
// Saving: a value outside min..max shows the range message and fails the exchange. Showing:
// nothing.
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT min, UINT max);

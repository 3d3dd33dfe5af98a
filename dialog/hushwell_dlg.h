// CHushwellDlg: the main window. It holds all of the program's state while it runs: the value
// shown, whether a complete read happened, and the image of the radio blocks that read found.
#pragma once

#include "framework/afxwin.h"
#include "radio/radio_layout.h"
#include "radio/squelch_dialog.h"

#include <commctrl.h>

class CHushwellDlg : public CDialog, private radio::SquelchDialog {
public:
    explicit CHushwellDlg(CWnd* pParent = nullptr);

    // The state the radio operations work on; public for the tests that drive the dialog.
    UINT m_squelchValue;
    BOOL m_valueRead = FALSE;
    radio::RadioImage m_image{};
    CWnd* m_pSpin = nullptr;

protected:
    HICON m_hIcon;
    UDACCEL m_accel[2] = {};

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnRead();
    void OnWrite();
    void OnDefault();
    void OnResetRadio();

    DECLARE_MESSAGE_MAP()

private:
    // The system-menu items and the window icons (the shell's step of OnInitDialog).
    void AddSystemMenuItemsAndIcons();

    // What the read and the write use of the dialog.
    UINT& SquelchValue() override { return m_squelchValue; }
    BOOL& ValueRead() override { return m_valueRead; }
    radio::RadioImage& Image() override { return m_image; }
    BOOL TakeValue() override { return UpdateData(TRUE); }
    void ShowValue() override { UpdateData(FALSE); }
    void OpenValueRange() override;
};

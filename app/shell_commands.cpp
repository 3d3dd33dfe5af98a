// The main dialog's share of the application shell: the system-menu items with the About box
// and the help dialog, the window icons, and the icon drawn while minimized.
#include "app/about_dlg.h"
#include "app/help_dlg.h"
#include "app/minimized_icon.h"
#include "dialog/hushwell_dlg.h"
#include "res/resource.h"

void CHushwellDlg::AddSystemMenuItemsAndIcons() {
    if (CMenu* pSysMenu = GetSystemMenu(FALSE)) {
        CString aboutText;
        CString helpText;
        aboutText.LoadString(IDS_ABOUTBOX);
        helpText.LoadString(IDS_HELPBOX);
        if (!aboutText.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, aboutText);
            pSysMenu->AppendMenu(MF_STRING, IDM_HELPBOX, helpText);
        }
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
}

void CHushwellDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    // The About test masks the low four bits as system commands do; the help id is compared
    // whole.
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else if (nID == IDM_HELPBOX) {
        CHelpDlg dlgHelp;
        dlgHelp.DoModal();
    } else {
        (void)lParam;
        Default();
    }
}

void CHushwellDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const POINT origin = CentredIconOrigin(rect, cxIcon, cyIcon);
    dc.DrawIcon(origin.x, origin.y, m_hIcon);
}

HCURSOR CHushwellDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

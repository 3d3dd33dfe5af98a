// The About box, opened from the main dialog's system menu.
#pragma once

#include "framework/afxwin.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

protected:
    DECLARE_MESSAGE_MAP()
};

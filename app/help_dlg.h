// The help dialog: the program's own help, opened from the main dialog's system menu.
#pragma once

#include "framework/afxwin.h"

class CHelpDlg : public CDialog {
public:
    CHelpDlg();

protected:
    DECLARE_MESSAGE_MAP()
};

#include "app/help_dlg.h"

#include "res/resource.h"

CHelpDlg::CHelpDlg() : CDialog(IDD_HELP) {}

BEGIN_MESSAGE_MAP(CHelpDlg, CDialog)
END_MESSAGE_MAP()

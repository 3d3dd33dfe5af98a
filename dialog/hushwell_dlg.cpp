#include "dialog/hushwell_dlg.h"

#include "radio/radio_commands.h"
#include "radio/radio_messages.h"
#include "radio/squelch_read.h"
#include "radio/squelch_write.h"
#include "res/resource.h"

namespace {

constexpr UINT kFactorySquelchValue = 8;
constexpr UINT kMaxSquelchValue = 15;

} // namespace

CHushwellDlg::CHushwellDlg(CWnd* pParent)
    : CDialog(IDD_HUSHWELL_DIALOG, pParent), m_squelchValue(0),
      m_hIcon(AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME)
                          : ::LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME))) {}

// clang-format off
BEGIN_MESSAGE_MAP(CHushwellDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_READ, OnRead)
    ON_BN_CLICKED(IDC_WRITE, OnWrite)
    ON_BN_CLICKED(IDC_DEFAULT, OnDefault)
    ON_BN_CLICKED(IDC_RESET_RADIO, OnResetRadio)
END_MESSAGE_MAP()
// clang-format on

void CHushwellDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SQUELCH_VALUE, m_squelchValue);
    DDV_MinMaxUInt(pDX, m_squelchValue, 0, kMaxSquelchValue);
}

BOOL CHushwellDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    // Until a read has found the value the arrows cannot move it: the range is 0 to 0.
    m_pSpin = GetDlgItem(IDC_SQUELCH_SPIN);
    if (m_pSpin) {
        m_pSpin->SendMessage(UDM_SETRANGE, 0, 0);
        // A held arrow steps by 1, and by 5 once it has been held for 3 seconds.
        m_accel[0].nSec = 0;
        m_accel[0].nInc = 1;
        m_accel[1].nSec = 3;
        m_accel[1].nInc = 5;
        m_pSpin->SendMessage(UDM_SETACCEL, 2, reinterpret_cast<LPARAM>(m_accel));
    }

    AddSystemMenuItemsAndIcons();

    m_valueRead = FALSE;
    m_squelchValue = 0; // the entry already shows 0
    return TRUE;
}

void CHushwellDlg::OpenValueRange() {
    if (m_pSpin) {
        // Low word: the upper limit; high word: the lower limit.
        m_pSpin->SendMessage(UDM_SETRANGE, 0, MAKELPARAM(kMaxSquelchValue, 0));
    }
}

void CHushwellDlg::OnRead() {
    CWaitCursor wait; // the dialog does not respond until the read is over
    radio::ReadSquelch(*this);
}

void CHushwellDlg::OnWrite() {
    CWaitCursor wait;
    radio::WriteSquelch(*this);
}

void CHushwellDlg::OnDefault() {
    m_squelchValue = kFactorySquelchValue;
    UpdateData(FALSE);
}

void CHushwellDlg::OnResetRadio() {
    CWaitCursor wait;
    // A write needs a fresh read after a reset, whether or not the reset got through.
    m_valueRead = FALSE;
    if (FAILED(radio::ResetRadio())) {
        AfxMessageBox(radio::kMsgCouldNotReset, MB_OK, 0);
    }
}

// CDialog: a modal dialog built from a dialog template of the program's resources.
#pragma once

#include <windows.h>

#include "framework/wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // Runs the dialog until EndDialog and returns EndDialog's result (-1 when the dialog could not
    // be created). With no parent, the owner is the application's main window unless that is
    // this dialog. A template at position (0, 0) without DS_CENTER, DS_CENTERMOUSE or
    // DS_ABSALIGN is centred over its owner (over the screen when there is none).
    virtual INT_PTR DoModal();
    // Makes the first data exchange (members shown); TRUE lets the dialog manager set the focus.
    virtual BOOL OnInitDialog();
    // Takes and validates the entries; ends the dialog with IDOK only when that succeeded.
    virtual void OnOK();
    // Ends the dialog with IDCANCEL.
    virtual void OnCancel();
    void EndDialog(int result);

    DECLARE_MESSAGE_MAP()

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    HWND ModalOwner() const;
    void CentreIfUnplaced();

    UINT m_templateId;
    CWnd* m_pParentWnd;
};

// The innermost dialog whose DoModal is running on this thread and whose window exists, or null.
// Message boxes shown by its handlers belong to it.
CDialog* AfxGetRunningModalDialog();

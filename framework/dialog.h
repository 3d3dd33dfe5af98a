// CDialog: a modal dialog built from a dialog template of the program's resources.
#pragma once

#include <windows.h>

#include "framework/wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr)
        : m_templateId(templateId), m_pParentWnd(parent) {}

    // Runs the dialog until EndDialog and returns EndDialog's result (-1 when the dialog could not
    // be created). With no parent, the owner is the application's main window unless that is
    // this dialog. The dialog is centred over its owner (over the screen when there is none): the
    // program's templates all leave their position to the framework.
    virtual INT_PTR DoModal();
    // Makes the first data exchange (members shown); TRUE lets the dialog manager set the focus.
    virtual BOOL OnInitDialog();
    // Takes and validates the entries; ends the dialog with IDOK only when that succeeded.
    virtual void OnOK();
    // Ends the dialog with IDCANCEL.
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    void EndDialog(int result) { ::EndDialog(m_hWnd, result); }

    DECLARE_MESSAGE_MAP()

private:
    friend CDialog* AfxGetRunningModalDialog();
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND ModalOwner() const;
    void CentreOverOwner();

    UINT m_templateId;
    CWnd* m_pParentWnd;
    CDialog* m_outerModal = nullptr; // while DoModal runs: the dialog it runs inside, if any
};

// The innermost dialog whose DoModal is running and whose window exists, or null. Message boxes
// shown by its handlers belong to it.
CDialog* AfxGetRunningModalDialog();

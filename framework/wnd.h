// CWnd: a window handle with the framework's message dispatch and data exchange.
#pragma once

#include <windows.h>

#include "framework/message_map.h"

class CDataExchange;
class CMenu;

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;

    HWND GetSafeHwnd() const { return m_hWnd; }

    // The child with the id, as a wrapper owned by this object (the same one on every call while
    // the window lives, valid for this object's life; its handle is null once the window is
    // gone), or null if there is no such child.
    CWnd* GetDlgItem(int id);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }

    // Runs DoDataExchange in one direction. FALSE when the exchange failed (the operator has been
    // told why).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange*) {}

    // The default processing of the message being handled (for a dialog, the dialog manager's);
    // only inside a handler.
    LRESULT Default();

    // The window's system menu (a wrapper valid until the next call), or null (always null when
    // revert is TRUE: the menu is reset).
    CMenu* GetSystemMenu(BOOL revert) const;
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }

    // The framework object that handles the window's messages, or null.
    static CWnd* FromHandle(HWND hwnd);

    HWND m_hWnd = nullptr;

protected:
    // Routes window messages to the message map once the window is attached.
    void Attach(HWND hwnd);

private:
    // TRUE when the message map handled the message; *result is then its result.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK AttachedWindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam);
    void Detach();

    const MSG* m_current = nullptr; // the message being handled, for Default()
    WNDPROC m_superProc = nullptr;
    // The wrappers GetDlgItem made, in a list through m_nextChild.
    CWnd* m_firstChild = nullptr;
    CWnd* m_nextChild = nullptr;
};

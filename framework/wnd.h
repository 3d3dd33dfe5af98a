// CWnd: a window handle with the framework's message dispatch and data exchange.
#pragma once

#include <windows.h>

#include <map>
#include <memory>

#include "framework/message_map.h"

class CDataExchange;
class CMenu;

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The child with the id, as a wrapper owned by this object (the same one on every call, valid
    // for this object's life; its handle is null once the window is gone), or null if there is
    // no such child.
    CWnd* GetDlgItem(int id);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Runs DoDataExchange in one direction. FALSE when the exchange failed (the operator has been
    // told why); no exception leaves it.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);

    // The default processing of the message being handled (for a dialog, the dialog manager's).
    LRESULT Default();

    // The window's system menu, or null (always null when revert is TRUE: the menu is reset).
    CMenu* GetSystemMenu(BOOL revert) const;
    BOOL IsIconic() const;
    void GetClientRect(LPRECT rect) const;
    void GetWindowRect(LPRECT rect) const;

    // The framework object that handles the window's messages, or null.
    static CWnd* FromHandle(HWND hwnd);

    HWND m_hWnd = nullptr;

protected:
    // Routes window messages to the message map once the window is attached.
    void Attach(HWND hwnd);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // TRUE when the message map handled the message; *result is then its result.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK AttachedWindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) noexcept;
    void Detach();

    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    const CurrentMessage* m_current = nullptr;
    WNDPROC m_superProc = nullptr;
    std::map<int, std::unique_ptr<CWnd>> m_children;
};

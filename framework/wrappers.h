// Small wrappers the dialogs use: painting, menus, strings and the wait cursor.
#pragma once

#include <windows.h>

#include "framework/app.h"
#include "framework/wnd.h"

// Painting of one WM_PAINT: BeginPaint on construction, EndPaint on destruction.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* wnd) : m_hWnd(wnd->GetSafeHwnd()), m_hDC(BeginPaint(m_hWnd, &m_ps)) {}
    ~CPaintDC() { EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps = {};
    HDC m_hDC;
};

// A menu handle; the object does not own the menu.
class CMenu {
public:
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr) {
        return ::AppendMenuA(m_hMenu, flags, id, text);
    }

    HMENU m_hMenu = nullptr;
};

// A string of the program's string table.
class CString {
public:
    // FALSE, and empty, when there is no such string. The table's texts (menu items) are short:
    // a longer one is cut to the buffer.
    BOOL LoadString(UINT id) {
        if (::LoadStringA(AfxGetInstanceHandle(), id, m_text, sizeof m_text) > 0) {
            return TRUE;
        }
        m_text[0] = '\0';
        return FALSE;
    }

    BOOL IsEmpty() const { return m_text[0] == '\0'; }
    operator const char*() const { return m_text; }

private:
    char m_text[256] = {};
};

// The hourglass while the object lives (a handler that keeps the thread busy).
class CWaitCursor {
public:
    CWaitCursor() : m_previous(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { SetCursor(m_previous); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR m_previous;
};

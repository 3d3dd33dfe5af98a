// Small wrappers the dialogs use: painting, menus, strings and rectangles.
#pragma once

#include <windows.h>

#include <string>

class CWnd;

// Painting of one WM_PAINT: BeginPaint on construction, EndPaint on destruction.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    BOOL DrawIcon(int x, int y, HICON icon);

    HDC m_hDC;
    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};

// A menu handle; the object does not own the menu.
class CMenu {
public:
    // The one wrapper for the handle (kept for the rest of the run), or null for a null handle.
    static CMenu* FromHandle(HMENU menu);

    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr);
    HMENU GetSafeHmenu() const { return m_hMenu; }

    HMENU m_hMenu = nullptr;
};

// A character string.
class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}

    // String id of the program's string table; FALSE, and empty, when there is no such string.
    BOOL LoadString(UINT id);

    BOOL IsEmpty() const { return m_text.empty(); }
    int GetLength() const { return static_cast<int>(m_text.size()); }
    void Empty() { m_text.clear(); }
    operator const char*() const { return m_text.c_str(); }

    CString& operator=(const char* text) {
        m_text = text ? text : "";
        return *this;
    }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator!=(const CString& a, const CString& b) { return a.m_text != b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }

private:
    std::string m_text;
};

// A rectangle with its size.
class CRect : public RECT {
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    operator LPRECT() { return this; }
    operator const RECT*() const { return this; }
};

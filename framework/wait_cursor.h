// CWaitCursor: the hourglass while the object lives (a handler that keeps the thread busy).
#pragma once

#include <windows.h>

class CWaitCursor {
public:
    CWaitCursor() : m_previous(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { SetCursor(m_previous); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    // Shows the hourglass again, after a message box has put the arrow back.
    void Restore() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }

private:
    HCURSOR m_previous;
};

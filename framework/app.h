// CWinApp: the one application object, and the start-up (WinMain, OLE) that runs it.
#pragma once

#include <windows.h>

#include "framework/message_map.h"

class CWnd;

// The module whose resources the framework loads: the executable.
inline HINSTANCE AfxGetInstanceHandle() {
    return GetModuleHandleA(nullptr);
}

// The framework's help command (F1, WM_HELP, or a button with this id).
constexpr UINT ID_HELP = 0xE146;

class CWinApp : public CCmdTarget {
public:
    // Registers this object as the application; a process has one at a time.
    CWinApp();
    ~CWinApp() override;

    // Runs the program (Hushwell: its main dialog, modally); the program ends, with exit code 0,
    // when it returns. Every window is a modal dialog that runs the dialog manager's own message
    // loop, so the framework has no loop of its own and the result is not used.
    virtual BOOL InitInstance() { return FALSE; }

    // Three-dimensional controls are the system's own look now: nothing to do.
    BOOL Enable3dControls() { return TRUE; }
    // An icon of the program's own resources, or null.
    HICON LoadIcon(UINT id) const {
        return ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(id));
    }
    // The framework's help command: the program has no help file; says so.
    void OnHelp();

    CWnd* m_pMainWnd = nullptr;

    DECLARE_MESSAGE_MAP()
};

// The application object, or null when the program has none (test programs).
CWinApp* AfxGetApp();

// Starts the component runtime (OLE) on the user-interface thread, once (later calls only report
// success); the program's end ends it. FALSE when it cannot be started.
BOOL AfxOleInit();
// Hushwell hosts no ActiveX controls, so there is no container support to switch on; it exists
// so that start-up reads as the framework's programs do.
inline void AfxEnableControlContainer() {}

// CWinApp: the one application object, and the start-up that runs it (see winmain.cpp).
#pragma once

#include <windows.h>

#include "framework/message_map.h"

class CWnd;

// The framework's help command (F1, WM_HELP, or a button with this id).
constexpr UINT ID_HELP = 0xE146;

class CWinApp : public CCmdTarget {
public:
    // Registers this object as the application; a process has one at a time.
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    // Start-up: when InitInstance returns FALSE, ExitInstance runs at once and the program ends
    // without a message loop; otherwise Run's loop runs first.
    virtual BOOL InitInstance();
    // The program's exit code: the WM_QUIT code of Run's loop, or 0 when it never ran. It ends
    // the component runtime that AfxOleInit started.
    virtual int ExitInstance();
    // The message loop, until WM_QUIT; returns the WM_QUIT code.
    virtual int Run();

    // Three-dimensional controls are the system's own look now: nothing to do.
    BOOL Enable3dControls();
    // An icon of the program's own resources, or null.
    HICON LoadIcon(UINT id) const;
    // The framework's help command: the program has no help file; says so.
    void OnHelp();

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance;
    const char* m_pszAppName; // as given to the constructor; the name shown is AfxGetAppName()

    DECLARE_MESSAGE_MAP()

private:
    int m_exitCode = 0;
};

// The application object, or null when the program has none (test programs).
CWinApp* AfxGetApp();
// The module whose resources the framework loads: the executable.
HINSTANCE AfxGetInstanceHandle();

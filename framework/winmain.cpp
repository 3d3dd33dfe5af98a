// The program's entry point: runs the application object.
#include <windows.h>

#include "framework/app.h"
#include "framework/ole.h"

// CWinApp's constructor calls this, so a program with an application object links WinMain.
void AfxLinkWinMain() {}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    CWinApp* app = AfxGetApp();
    if (!app) {
        return EXIT_FAILURE; // a program built on the framework defines its application object
    }
    app->m_hInstance = instance;
    if (app->InitInstance()) {
        app->Run();
    }
    const int exitCode = app->ExitInstance();
    AfxOleTerm(); // in case an ExitInstance override did not call the base
    return exitCode;
}

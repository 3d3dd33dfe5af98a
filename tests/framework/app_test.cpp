// The application object, AfxMessageBox and the component runtime start-up.
#include <gtest/gtest.h>

#include <objbase.h>

#include <string>
#include <thread>

#include "framework/afxwin.h"
#include "tests/framework/scripted_dialog.h"
#include "tests/framework/test_resources.h"
#include "tests/lib/message_boxes.h"

namespace {

TEST(WinApp, TheObjectIsTheApplicationWhileItLives) {
    EXPECT_EQ(nullptr, AfxGetApp());
    {
        CWinApp app;
        EXPECT_EQ(&app, AfxGetApp());
        EXPECT_EQ(GetModuleHandleA(nullptr), app.m_hInstance);
        EXPECT_EQ(GetModuleHandleA(nullptr), AfxGetInstanceHandle());
        EXPECT_EQ(nullptr, app.m_pMainWnd);
    }
    EXPECT_EQ(nullptr, AfxGetApp());
}

TEST(WinApp, LoadIconTakesTheProgramsOwnIcons) {
    CWinApp app;
    const HICON icon = app.LoadIcon(IDI_RED);
    ASSERT_NE(nullptr, icon);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_TRUE(info.fIcon);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_EQ(nullptr, app.LoadIcon(IDI_MISSING));
}

TEST(WinApp, OnHelpSaysThereIsNoHelpFile) {
    CWinApp app;
    MessageBoxWatcher watcher;
    app.OnHelp();
    ASSERT_EQ(1u, watcher.Boxes().size());
    EXPECT_EQ("No help file is installed. The system menu has the help for this program.",
              watcher.Boxes()[0].text);
}

// Runs only when a loop dispatches the thread's timer message.
void CALLBACK QuitFromTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostQuitMessage(23);
}

TEST(WinApp, RunDispatchesUntilQuitAndExitInstanceReturnsTheQuitCode) {
    CWinApp app;
    ASSERT_NE(0u, SetTimer(nullptr, 0, 1, &QuitFromTimer));
    EXPECT_EQ(23, app.Run());
    EXPECT_EQ(23, app.ExitInstance());
}

TEST(AfxMessageBox, CaptionIsTheProgramNameAndThereIsNoOwnerWithoutWindows) {
    EXPECT_EQ("framework_tests", AfxGetAppName());
    MessageBoxWatcher watcher;
    EXPECT_EQ(IDOK, AfxMessageBox("Plain text", MB_OK, 0));
    EXPECT_EQ(IDOK, AfxMessageBox("Second text"));
    ASSERT_EQ(2u, watcher.Boxes().size());
    EXPECT_EQ((std::vector<std::string>{"Plain text", "Second text"}), watcher.Texts());
    EXPECT_EQ((std::vector<std::string>{"framework_tests", "framework_tests"}), watcher.Captions());
    EXPECT_EQ(nullptr, watcher.Boxes()[0].owner);
    EXPECT_FALSE(watcher.Boxes()[0].hasIcon) << "MB_OK alone shows no icon";
}

TEST(AfxMessageBox, OwnerIsTheDialogWhoseHandlerShowsIt) {
    CWinApp app;
    MessageBoxWatcher watcher;
    HWND outerHwnd = nullptr;
    HWND innerHwnd = nullptr;
    ScriptedDialog outer(IDD_EXCHANGE, [&](ScriptedDialog& self) {
        outerHwnd = self.m_hWnd;
        AfxMessageBox("From the main window");
        ScriptedDialog inner(IDD_PLAIN, [&](ScriptedDialog& nested) {
            innerHwnd = nested.m_hWnd;
            AfxMessageBox("From the nested dialog");
            nested.EndDialog(IDOK);
        });
        inner.DoModal();
        // Another window active (as when another program has the foreground) changes nothing.
        const HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                           50, nullptr, nullptr, nullptr, nullptr);
        SetActiveWindow(other);
        EXPECT_EQ(other, GetActiveWindow());
        AfxMessageBox("Still from the main window");
        DestroyWindow(other);
        self.EndDialog(IDOK);
    });
    app.m_pMainWnd = &outer;
    EXPECT_EQ(IDOK, outer.DoModal());
    EXPECT_EQ((std::vector<std::string>{"From the main window", "From the nested dialog",
                                        "Still from the main window"}),
              watcher.Texts());
    ASSERT_EQ(3u, watcher.Boxes().size());
    EXPECT_EQ(outerHwnd, watcher.Boxes()[0].owner);
    EXPECT_EQ(innerHwnd, watcher.Boxes()[1].owner);
    EXPECT_EQ(outerHwnd, watcher.Boxes()[2].owner);
}

// OLE's state is the thread's: each case runs on a thread of its own.
template <class Body>
void OnNewThread(Body body) {
    std::thread thread(body);
    thread.join();
}

TEST(Ole, AfxOleInitStartsOleUntilAfxOleTerm) {
    OnNewThread([] {
        EXPECT_TRUE(AfxOleInit());
        EXPECT_TRUE(AfxOleInit()) << "a second call only reports success";
        // The thread is now a single-threaded apartment: it cannot become multi-threaded.
        EXPECT_EQ(RPC_E_CHANGED_MODE, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        AfxOleTerm();
        const HRESULT afterTerm = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(S_OK, afterTerm) << "one AfxOleTerm ends both AfxOleInit calls";
        if (SUCCEEDED(afterTerm)) {
            CoUninitialize();
        }
    });
}

TEST(Ole, AfxOleInitFailsOnAThreadThatCannotHaveOle) {
    OnNewThread([] {
        ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        EXPECT_FALSE(AfxOleInit());
        AfxOleTerm(); // nothing to end
        CoUninitialize();
    });
}

TEST(Ole, ExitInstanceEndsOle) {
    OnNewThread([] {
        CWinApp app;
        ASSERT_TRUE(AfxOleInit());
        EXPECT_EQ(0, app.ExitInstance()) << "no message loop ran";
        const HRESULT afterExit = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(S_OK, afterExit);
        if (SUCCEEDED(afterExit)) {
            CoUninitialize();
        }
    });
}

} // namespace

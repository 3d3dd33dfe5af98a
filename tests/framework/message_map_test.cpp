// Message maps: each kind of entry calls its handler with the message's values, derived maps
// come before their base's, and what no map takes gets the dialog manager's default processing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/afxwin.h"
#include "tests/framework/scripted_dialog.h"
#include "tests/framework/test_resources.h"
#include "tests/lib/message_boxes.h"

namespace {

constexpr UINT ID_MENU_COMMAND = 0x7F10;
constexpr UINT ID_APP_COMMAND = 0x7F11;
constexpr UINT ID_SHARED_COMMAND = 0x7F12;
const char kHelpMessage[] =
    "No help file is installed. The system menu has the help for this program.";

std::string Hex(unsigned long long value) {
    char text[32];
    std::snprintf(text, sizeof text, "%llx", value);
    return text;
}

class BaseMapDialog : public ScriptedDialog {
public:
    using ScriptedDialog::ScriptedDialog;

    void OnCancel() override {
        log.push_back("cancel");
        ScriptedDialog::OnCancel();
    }

    std::vector<std::string> log;
    bool passSystemCommands = false;

protected:
    void OnFirst() { log.push_back("base first"); }
    void OnSecond() { log.push_back("base second"); }
    void OnSharedCommand() { log.push_back("dialog shared"); }
    void OnSysCommand(UINT id, LPARAM lParam) {
        log.push_back("syscommand " + Hex(id) + " " + Hex(static_cast<ULONG_PTR>(lParam)));
        if (passSystemCommands) {
            Default();
        }
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseMapDialog, ScriptedDialog)
ON_BN_CLICKED(IDC_FIRST, OnFirst)
ON_BN_CLICKED(IDC_SECOND, OnSecond)
ON_COMMAND(ID_SHARED_COMMAND, OnSharedCommand)
ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

class DerivedMapDialog : public BaseMapDialog {
public:
    using BaseMapDialog::BaseMapDialog;

    HCURSOR dragCursor = nullptr;
    bool paintByDefault = false;

private:
    DECLARE_MESSAGE_MAP()

    void OnFirstInDerived() { log.push_back("derived first"); }
    void OnMenuCommand() { log.push_back("menu command"); }
    void OnMyOk() { log.push_back("my ok"); }
    void OnPaint() {
        log.push_back("paint");
        if (paintByDefault) {
            Default();
        } else {
            CPaintDC dc(this);
        }
    }
    HCURSOR OnQueryDragIcon() {
        log.push_back("query drag icon");
        return dragCursor;
    }
};

BEGIN_MESSAGE_MAP(DerivedMapDialog, BaseMapDialog)
ON_BN_CLICKED(IDC_FIRST, OnFirstInDerived)
ON_BN_CLICKED(IDOK, OnMyOk)
ON_COMMAND(ID_MENU_COMMAND, OnMenuCommand)
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
END_MESSAGE_MAP()

class EmptyMapDialog : public CDialog {
public:
    EmptyMapDialog() : CDialog(IDD_PLAIN) {}
    BOOL OnInitDialog() override {
        PostMessage(WM_COMMAND, IDOK, 0);
        return CDialog::OnInitDialog();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(EmptyMapDialog, CDialog)
END_MESSAGE_MAP()

class TestApp : public CWinApp {
public:
    std::vector<std::string> log;

private:
    void OnAppCommand() { log.push_back("app command"); }
    void OnSharedCommand() { log.push_back("app shared"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestApp, CWinApp)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
ON_COMMAND(ID_APP_COMMAND, OnAppCommand)
ON_COMMAND(ID_SHARED_COMMAND, OnSharedCommand)
END_MESSAGE_MAP()

bool NeedsPainting(HWND hwnd) {
    return GetUpdateRect(hwnd, nullptr, FALSE) != FALSE;
}

TEST(MessageMap, ButtonClicksReachTheMostDerivedEntryForTheirId) {
    DerivedMapDialog dialog(IDD_EXCHANGE, [](ScriptedDialog& self) {
        auto& d = static_cast<DerivedMapDialog&>(self);
        SendMessageA(d.Item(IDC_FIRST), BM_CLICK, 0, 0);
        SendMessageA(d.Item(IDC_SECOND), BM_CLICK, 0, 0);
        // Another notification from a mapped button is not a click.
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SECOND, BN_DOUBLECLICKED),
                      reinterpret_cast<LPARAM>(d.Item(IDC_SECOND)));
        SendMessageA(d.Item(IDOK), BM_CLICK, 0, 0); // mapped: CDialog::OnOK is not called
        d.EndDialog(5);
    });
    EXPECT_EQ(5, dialog.DoModal());
    EXPECT_EQ((std::vector<std::string>{"derived first", "base second", "my ok"}), dialog.log);
}

TEST(MessageMap, CommandsFromMenusAndAcceleratorsReachOnCommandEntries) {
    DerivedMapDialog dialog(IDD_EXCHANGE, [](ScriptedDialog& self) {
        self.SendMessage(WM_COMMAND, MAKEWPARAM(ID_MENU_COMMAND, 0), 0); // menu
        self.SendMessage(WM_COMMAND, MAKEWPARAM(ID_MENU_COMMAND, 1), 0); // accelerator
        self.EndDialog(6);
    });
    EXPECT_EQ(6, dialog.DoModal());
    EXPECT_EQ((std::vector<std::string>{"menu command", "menu command"}), dialog.log);
}

TEST(MessageMap, SystemCommandHandlerGetsTheCommandIdAndLParam) {
    DerivedMapDialog dialog(IDD_EXCHANGE, [](ScriptedDialog& self) {
        self.SendMessage(WM_SYSCOMMAND, 0x10, 0x00500007);
        self.SendMessage(WM_SYSCOMMAND, 9, 0);
        self.EndDialog(7);
    });
    EXPECT_EQ(7, dialog.DoModal());
    EXPECT_EQ((std::vector<std::string>{"syscommand 10 500007", "syscommand 9 0"}), dialog.log);
}

TEST(MessageMap, QueryDragIconReturnsTheHandlersCursor) {
    LRESULT answer = 0;
    DerivedMapDialog dialog(IDD_EXCHANGE, [&](ScriptedDialog& self) {
        answer = self.SendMessage(WM_QUERYDRAGICON);
        self.EndDialog(8);
    });
    dialog.dragCursor = LoadCursorA(nullptr, IDC_CROSS);
    EXPECT_EQ(8, dialog.DoModal());
    EXPECT_EQ(reinterpret_cast<LRESULT>(dialog.dragCursor), answer);
    EXPECT_EQ(std::vector<std::string>{"query drag icon"}, dialog.log);
}

TEST(MessageMap, PaintHandlerRunsAndDefaultPaintsAsUsual) {
    std::vector<bool> pendingAfterPaint;
    DerivedMapDialog dialog(IDD_EXCHANGE, [&](ScriptedDialog& self) {
        auto& d = static_cast<DerivedMapDialog&>(self);
        for (bool byDefault : {false, true}) {
            d.paintByDefault = byDefault;
            InvalidateRect(d.m_hWnd, nullptr, TRUE);
            EXPECT_TRUE(NeedsPainting(d.m_hWnd));
            UpdateWindow(d.m_hWnd);
            pendingAfterPaint.push_back(NeedsPainting(d.m_hWnd));
        }
        d.EndDialog(9);
    });
    EXPECT_EQ(9, dialog.DoModal());
    EXPECT_EQ((std::vector<std::string>{"paint", "paint"}), dialog.log);
    EXPECT_EQ((std::vector<bool>{false, false}), pendingAfterPaint);
}

TEST(MessageMap, UnmappedPaintGetsTheDialogManagersPainting) {
    bool pending = true;
    BaseMapDialog dialog(IDD_EXCHANGE, [&](ScriptedDialog& self) {
        InvalidateRect(self.m_hWnd, nullptr, TRUE);
        UpdateWindow(self.m_hWnd);
        pending = NeedsPainting(self.m_hWnd);
        self.EndDialog(10);
    });
    EXPECT_EQ(10, dialog.DoModal());
    EXPECT_FALSE(pending);
}

TEST(MessageMap, CloseCommandPassedToDefaultEndsTheDialogThroughOnCancel) {
    BaseMapDialog dialog(
        IDD_EXCHANGE, [](ScriptedDialog& self) { self.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0); });
    dialog.passSystemCommands = true;
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ((std::vector<std::string>{"syscommand f060 0", "cancel"}), dialog.log);
}

TEST(MessageMap, CloseCommandKeptFromDefaultLeavesTheDialogOpen) {
    BaseMapDialog dialog(IDD_EXCHANGE, [](ScriptedDialog& self) {
        self.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        self.PostMessage(WM_COMMAND, ID_RUN_SCRIPT, 0);
        self.m_script = [](ScriptedDialog& again) { again.EndDialog(11); };
    });
    EXPECT_EQ(11, dialog.DoModal());
    EXPECT_EQ(std::vector<std::string>{"syscommand f060 0"}, dialog.log);
}

TEST(MessageMap, EscapeEndsTheDialogThroughOnCancel) {
    BaseMapDialog dialog(IDD_EXCHANGE, [](ScriptedDialog& self) {
        SetFocus(self.Item(IDC_VALUE));
        PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(std::vector<std::string>{"cancel"}, dialog.log);
}

TEST(MessageMap, EmptyMapInheritsCDialogsOk) {
    EmptyMapDialog dialog;
    EXPECT_EQ(IDOK, dialog.DoModal());
}

TEST(MessageMap, CommandsNoWindowTakesGoToTheApplication) {
    TestApp app;
    BaseMapDialog dialog(IDD_EXCHANGE, [](ScriptedDialog& self) {
        self.SendMessage(WM_COMMAND, MAKEWPARAM(ID_APP_COMMAND, 0), 0);
        self.SendMessage(WM_COMMAND, MAKEWPARAM(ID_SHARED_COMMAND, 0), 0);
        // Notifications other than clicks stay with the window.
        self.SendMessage(WM_COMMAND, MAKEWPARAM(ID_APP_COMMAND, EN_CHANGE),
                         reinterpret_cast<LPARAM>(self.Item(IDC_VALUE)));
        self.EndDialog(12);
    });
    EXPECT_EQ(12, dialog.DoModal());
    EXPECT_EQ(std::vector<std::string>{"dialog shared"}, dialog.log);
    EXPECT_EQ(std::vector<std::string>{"app command"}, app.log);
}

TEST(MessageMap, HelpCommandAndWmHelpReachTheApplicationsOnHelp) {
    TestApp app;
    MessageBoxWatcher watcher;
    std::vector<size_t> boxesAfter;
    HWND dialogHwnd = nullptr;
    BaseMapDialog dialog(IDD_EXCHANGE, [&](ScriptedDialog& self) {
        dialogHwnd = self.m_hWnd;
        self.SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
        boxesAfter.push_back(watcher.Boxes().size());
        HELPINFO help = {sizeof help, HELPINFO_WINDOW, IDC_VALUE, self.Item(IDC_VALUE), 0, {}};
        self.SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
        boxesAfter.push_back(watcher.Boxes().size());
        self.EndDialog(13);
    });
    EXPECT_EQ(13, dialog.DoModal());
    EXPECT_EQ((std::vector<size_t>{1, 2}), boxesAfter);
    for (const SeenMessageBox& box : watcher.Boxes()) {
        EXPECT_EQ(kHelpMessage, box.text);
        EXPECT_EQ("framework_tests", box.caption);
        EXPECT_EQ(dialogHwnd, box.owner);
    }
}

TEST(MessageMap, TheFrameworksApplicationMapsTheHelpCommandItself) {
    CWinApp app; // no map of its own beyond the framework's
    MessageBoxWatcher watcher;
    BaseMapDialog dialog(IDD_EXCHANGE, [](ScriptedDialog& self) {
        self.SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
        self.EndDialog(16);
    });
    EXPECT_EQ(16, dialog.DoModal());
    EXPECT_EQ(std::vector<std::string>{kHelpMessage}, watcher.Texts());
}

TEST(MessageMap, F1InADialogShowsTheApplicationsHelp) {
    TestApp app;
    MessageBoxWatcher watcher;
    BaseMapDialog dialog(IDD_EXCHANGE, [&](ScriptedDialog& self) {
        SetFocus(self.Item(IDC_VALUE));
        // The system turns a typed F1 into WM_KEYF1 for the focused control, whose default
        // processing makes WM_HELP and passes it up to the dialog. (Typing F1 for real would go
        // to whichever program is in the foreground.)
        constexpr UINT WM_KEYF1 = 0x004D;
        PostMessageA(GetFocus(), WM_KEYF1, 0, 0);
        self.PostMessage(WM_COMMAND, IDCANCEL, 0); // ends the dialog once the help has been shown
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(std::vector<std::string>{kHelpMessage}, watcher.Texts());
}

TEST(MessageMap, WithoutAnApplicationUnhandledCommandsAreIgnored) {
    MessageBoxWatcher watcher;
    BaseMapDialog dialog(IDD_EXCHANGE, [](ScriptedDialog& self) {
        self.SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
        self.SendMessage(WM_COMMAND, MAKEWPARAM(ID_APP_COMMAND, 0), 0);
        self.EndDialog(15);
    });
    EXPECT_EQ(15, dialog.DoModal());
    EXPECT_TRUE(dialog.log.empty());
    EXPECT_TRUE(watcher.Texts().empty());
}

} // namespace

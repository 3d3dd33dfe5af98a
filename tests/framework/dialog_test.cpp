// CDialog: modal runs and their results, owners, nesting, centring, the up-down control class,
// and the child wrappers of GetDlgItem.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "framework/afxwin.h"
#include "tests/framework/scripted_dialog.h"
#include "tests/framework/test_resources.h"

namespace {

POINT CentreOf(HWND hwnd) {
    RECT rect;
    GetWindowRect(hwnd, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

RECT WorkAreaOf(HWND hwnd) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return monitor.rcWork;
}

// Whole pixels: centring rounds each half down.
void ExpectCentredOn(POINT expected, HWND hwnd) {
    const POINT actual = CentreOf(hwnd);
    EXPECT_LE(std::abs(actual.x - expected.x), 1) << actual.x << " vs " << expected.x;
    EXPECT_LE(std::abs(actual.y - expected.y), 1) << actual.y << " vs " << expected.y;
}

TEST(Dialog, DoModalReturnsTheValueGivenToEndDialog) {
    for (int result : {0, 2, 77, -5}) {
        ScriptedDialog dialog(IDD_EXCHANGE,
                              [result](ScriptedDialog& self) { self.EndDialog(result); });
        EXPECT_EQ(result, dialog.DoModal());
        EXPECT_EQ(nullptr, dialog.m_hWnd) << "the handle is dropped with the window";
    }
}

TEST(Dialog, DoModalWithoutTheTemplateReturnsMinusOne) {
    ScriptedDialog dialog(IDD_MISSING);
    EXPECT_EQ(-1, dialog.DoModal());
    EXPECT_EQ(0, dialog.m_initDialogCalls);
}

TEST(Dialog, TheSameObjectCanRunAgain) {
    ScriptedDialog dialog(IDD_PLAIN);
    for (int run = 1; run <= 2; ++run) {
        dialog.m_script = [run](ScriptedDialog& self) { self.EndDialog(run); };
        EXPECT_EQ(run, dialog.DoModal());
    }
    EXPECT_EQ(2, dialog.m_initDialogCalls);
}

TEST(Dialog, UnplacedDialogWithoutOwnerIsCentredOnTheScreen) {
    for (UINT templateId : {IDD_EXCHANGE, IDD_PLAIN}) {
        SCOPED_TRACE(templateId);
        ScriptedDialog dialog(templateId, [](ScriptedDialog& self) {
            EXPECT_EQ(nullptr, GetWindow(self.m_hWnd, GW_OWNER));
            const RECT work = WorkAreaOf(self.m_hWnd);
            ExpectCentredOn({(work.left + work.right) / 2, (work.top + work.bottom) / 2},
                            self.m_hWnd);
            self.EndDialog(IDOK);
        });
        EXPECT_EQ(IDOK, dialog.DoModal());
    }
}

TEST(Dialog, NestedDialogIsOwnedByTheMainWindowAndCentredOverIt) {
    CWinApp app;
    for (UINT innerTemplate : {IDD_PLAIN, IDD_EXCHANGE}) {
        SCOPED_TRACE(innerTemplate);
        INT_PTR innerResult = 0;
        bool outerEnabledDuringInner = true;
        ScriptedDialog outer(IDD_EXCHANGE, [&](ScriptedDialog& self) {
            ScriptedDialog inner(innerTemplate, [&](ScriptedDialog& nested) {
                EXPECT_EQ(self.m_hWnd, GetWindow(nested.m_hWnd, GW_OWNER));
                outerEnabledDuringInner = IsWindowEnabled(self.m_hWnd) != FALSE;
                ExpectCentredOn(CentreOf(self.m_hWnd), nested.m_hWnd);
                nested.EndDialog(31);
            });
            innerResult = inner.DoModal();
            EXPECT_TRUE(IsWindowEnabled(self.m_hWnd));
            self.EndDialog(32);
        });
        app.m_pMainWnd = &outer;
        EXPECT_EQ(32, outer.DoModal()) << "the main window itself has no owner";
        EXPECT_EQ(31, innerResult);
        EXPECT_FALSE(outerEnabledDuringInner);
    }
}

TEST(Dialog, MainWindowHasNoOwner) {
    CWinApp app;
    HWND owner = reinterpret_cast<HWND>(1);
    ScriptedDialog dialog(IDD_PLAIN, [&](ScriptedDialog& self) {
        owner = GetWindow(self.m_hWnd, GW_OWNER);
        self.EndDialog(IDOK);
    });
    app.m_pMainWnd = &dialog;
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(nullptr, owner);
}

TEST(Dialog, ExplicitParentIsTheOwner) {
    HWND owner = nullptr;
    ScriptedDialog outer(IDD_EXCHANGE, [&](ScriptedDialog& self) {
        ScriptedDialog inner(
            IDD_PLAIN,
            [&](ScriptedDialog& nested) {
                owner = GetWindow(nested.m_hWnd, GW_OWNER);
                nested.EndDialog(IDOK);
            },
            &self);
        EXPECT_EQ(IDOK, inner.DoModal());
        EXPECT_EQ(self.m_hWnd, owner);
        self.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, outer.DoModal());
}

TEST(Dialog, PlacedTemplatesAreNotCentred) {
    CWinApp app;
    for (UINT placed : {IDD_PLACED_EX, IDD_PLACED_PLAIN}) {
        SCOPED_TRACE(placed);
        POINT innerCentre = {};
        POINT outerCentre = {};
        ScriptedDialog outer(IDD_EXCHANGE, [&](ScriptedDialog& self) {
            ScriptedDialog inner(placed, [&](ScriptedDialog& nested) {
                innerCentre = CentreOf(nested.m_hWnd);
                nested.EndDialog(IDOK);
            });
            inner.DoModal();
            outerCentre = CentreOf(self.m_hWnd);
            self.EndDialog(IDOK);
        });
        app.m_pMainWnd = &outer;
        EXPECT_EQ(IDOK, outer.DoModal());
        EXPECT_GT(std::abs(innerCentre.x - outerCentre.x) + std::abs(innerCentre.y - outerCentre.y),
                  10);
    }
}

TEST(Dialog, UpDownControlIsCreatedAndDrivesItsBuddy) {
    ScriptedDialog dialog(IDD_EXCHANGE, [](ScriptedDialog& self) {
        const HWND spin = self.Item(IDC_SPIN);
        ASSERT_NE(nullptr, spin);
        char className[64] = {};
        GetClassNameA(spin, className, sizeof className);
        EXPECT_STREQ("msctls_updown32", className);
        EXPECT_EQ(reinterpret_cast<LRESULT>(self.Item(IDC_VALUE)),
                  SendMessageA(spin, UDM_GETBUDDY, 0, 0));
        SendMessageA(spin, UDM_SETRANGE, 0, MAKELPARAM(15, 0));
        SendMessageA(spin, UDM_SETPOS, 0, MAKELPARAM(9, 0));
        EXPECT_EQ("9", self.ItemText(IDC_VALUE));
        SendMessageA(spin, UDM_SETPOS, 0, MAKELPARAM(20, 0)); // clamped to the range
        EXPECT_EQ("15", self.ItemText(IDC_VALUE));
        self.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
}

TEST(Dialog, GetDlgItemWrappersBelongToTheDialog) {
    CWnd* spin = nullptr;
    ScriptedDialog dialog(IDD_EXCHANGE, [&](ScriptedDialog& self) {
        spin = self.GetDlgItem(IDC_SPIN);
        ASSERT_NE(nullptr, spin);
        EXPECT_EQ(self.Item(IDC_SPIN), spin->GetSafeHwnd());
        EXPECT_EQ(spin, self.GetDlgItem(IDC_SPIN)) << "one wrapper per child";
        EXPECT_NE(spin, self.GetDlgItem(IDC_VALUE));
        EXPECT_EQ(nullptr, self.GetDlgItem(IDC_MISSING));
        spin->SendMessage(UDM_SETRANGE, 0, MAKELPARAM(15, 0));
        spin->SendMessage(UDM_SETPOS, 0, MAKELPARAM(4, 0));
        EXPECT_EQ("4", self.ItemText(IDC_VALUE));
        EXPECT_EQ(&self, CWnd::FromHandle(self.m_hWnd));
        self.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    ASSERT_NE(nullptr, spin);
    EXPECT_EQ(nullptr, spin->GetSafeHwnd()) << "the wrapper outlives the window, without it";
}

TEST(Dialog, CancelButtonEndsWithIdCancel) {
    ScriptedDialog dialog(IDD_EXCHANGE, [](ScriptedDialog& self) {
        SendMessageA(self.Item(IDCANCEL), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
}

TEST(Dialog, IconicStateAndClientRectangleFollowTheWindow) {
    ScriptedDialog dialog(IDD_EXCHANGE, [](ScriptedDialog& self) {
        RECT client;
        self.GetClientRect(&client);
        RECT expected;
        ::GetClientRect(self.m_hWnd, &expected);
        EXPECT_TRUE(EqualRect(&expected, &client));
        EXPECT_GT(client.right, 0);
        EXPECT_FALSE(self.IsIconic());
        ShowWindow(self.m_hWnd, SW_MINIMIZE);
        EXPECT_TRUE(self.IsIconic());
        ShowWindow(self.m_hWnd, SW_RESTORE);
        EXPECT_FALSE(self.IsIconic());
        self.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
}

} // namespace

// CString, CMenu, CPaintDC and CWaitCursor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/afxwin.h"
#include "tests/framework/long_string.h"
#include "tests/framework/scripted_dialog.h"
#include "tests/framework/test_resources.h"

namespace {

TEST(CString, LoadStringReadsTheProgramsStringTable) {
    struct Case {
        UINT id;
        BOOL found;
        std::string text;
    };
    const std::vector<Case> cases = {
        {IDS_PRESENT, TRUE, "&About the tests..."},
        {IDS_LONG, TRUE, LONG_STRING_TEXT},
        {IDS_MISSING, FALSE, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        CString text("left over");
        EXPECT_EQ(c.found, text.LoadString(c.id));
        EXPECT_EQ(c.text, static_cast<const char*>(text));
        EXPECT_EQ(static_cast<int>(c.text.size()), text.GetLength());
        EXPECT_EQ(c.text.empty(), text.IsEmpty() != FALSE);
    }
    EXPECT_EQ(600u, std::string(LONG_STRING_TEXT).size());
}

TEST(CString, ComparesAndAssignsByValue) {
    CString a("abc");
    CString b;
    EXPECT_TRUE(b.IsEmpty());
    b = "abc";
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(a == "abc");
    EXPECT_TRUE(a != "abd");
    b = nullptr;
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_TRUE(a != b);
}

std::string MenuItemText(HMENU menu, int position) {
    char text[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

TEST(CMenu, AppendsToTheSystemMenu) {
    ScriptedDialog dialog(IDD_EXCHANGE, [](ScriptedDialog& self) {
        CMenu* menu = self.GetSystemMenu(FALSE);
        ASSERT_NE(nullptr, menu);
        EXPECT_EQ(GetSystemMenu(self.m_hWnd, FALSE), menu->m_hMenu);
        EXPECT_EQ(menu, CMenu::FromHandle(menu->m_hMenu)) << "one wrapper per handle";
        const int before = GetMenuItemCount(menu->m_hMenu);
        ASSERT_GT(before, 0);

        EXPECT_TRUE(menu->AppendMenu(MF_SEPARATOR));
        EXPECT_TRUE(menu->AppendMenu(MF_STRING, 0x10, "&About the tests..."));
        EXPECT_TRUE(menu->AppendMenu(MF_STRING, 9, "&Help"));

        ASSERT_EQ(before + 3, GetMenuItemCount(menu->m_hMenu));
        EXPECT_TRUE(GetMenuState(menu->m_hMenu, before, MF_BYPOSITION) & MF_SEPARATOR);
        EXPECT_EQ(0x10u, GetMenuItemID(menu->m_hMenu, before + 1));
        EXPECT_EQ("&About the tests...", MenuItemText(menu->m_hMenu, before + 1));
        EXPECT_EQ(9u, GetMenuItemID(menu->m_hMenu, before + 2));
        EXPECT_EQ("&Help", MenuItemText(menu->m_hMenu, before + 2));

        EXPECT_EQ(nullptr, self.GetSystemMenu(TRUE)) << "reverting returns no menu";
        EXPECT_EQ(before, GetMenuItemCount(GetSystemMenu(self.m_hWnd, FALSE)));
        self.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(nullptr, CMenu::FromHandle(nullptr));
}

class IconDialog : public ScriptedDialog {
public:
    using ScriptedDialog::ScriptedDialog;
    HICON icon = nullptr;
    BOOL drawn = FALSE;
    bool hadDc = false;

private:
    void OnPaint() {
        CPaintDC dc(this);
        hadDc = dc.GetSafeHdc() != nullptr && dc.m_hDC == dc.GetSafeHdc();
        FillRect(dc, &dc.m_ps.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        drawn = dc.DrawIcon(4, 6, icon);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(IconDialog, ScriptedDialog)
ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(CPaintDC, PaintsIntoTheWindowAndValidatesIt) {
    CWinApp app;
    COLORREF inside = 0;
    COLORREF outside = 0;
    bool pending = true;
    IconDialog dialog(IDD_EXCHANGE, [&](ScriptedDialog& self) {
        InvalidateRect(self.m_hWnd, nullptr, TRUE);
        UpdateWindow(self.m_hWnd);
        pending = GetUpdateRect(self.m_hWnd, nullptr, FALSE) != FALSE;
        const HDC dc = GetDC(self.m_hWnd);
        inside = GetPixel(dc, 4 + 8, 6 + 8);
        outside = GetPixel(dc, 2, 2);
        ReleaseDC(self.m_hWnd, dc);
        self.EndDialog(IDOK);
    });
    dialog.icon = app.LoadIcon(IDI_RED);
    ASSERT_NE(nullptr, dialog.icon);
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_TRUE(dialog.hadDc);
    EXPECT_TRUE(dialog.drawn);
    EXPECT_FALSE(pending);
    EXPECT_EQ(RGB(255, 0, 0), inside);
    EXPECT_EQ(RGB(255, 255, 255), outside);
}

TEST(CWaitCursor, ShowsTheHourglassWhileItLivesThenTheCursorBefore) {
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    const HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    SetCursor(arrow);
    {
        CWaitCursor busy;
        EXPECT_EQ(wait, GetCursor());
        SetCursor(arrow); // as a message box leaves it
        busy.Restore();
        EXPECT_EQ(wait, GetCursor());
    }
    EXPECT_EQ(arrow, GetCursor());
}

} // namespace

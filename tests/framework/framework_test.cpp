// What the program relies on in the framework: a message map seen before its base class's, and
// message boxes owned by the innermost running dialog and titled with the program's name.
#include "res/resource.h"
#include "tests/framework/script_dialog.h"

#include <gtest/gtest.h>

namespace {

class MappedDialog : public CDialog {
public:
    MappedDialog() : CDialog(IDD_HUSHWELL_DIALOG) {}
    std::vector<std::string> log;

private:
    void OnOkHere() { log.push_back("OK here"); } // CDialog maps IDOK too
    void OnSysCommand(UINT id, LPARAM lParam) {
        log.push_back("system " + std::to_string(id) + " " + std::to_string(lParam));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(MappedDialog, CDialog)
ON_BN_CLICKED(IDOK, OnOkHere)
ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

TEST(MessageMap, OwnEntriesFirstThenTheBaseClasses) {
    Scripted<MappedDialog> dialog([](Scripted<MappedDialog>& self) {
        const LPARAM button = reinterpret_cast<LPARAM>(self.Item(IDC_READ));
        self.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), button);
        self.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_DOUBLECLICKED), button); // no click
        self.SendMessage(WM_SYSCOMMAND, 0x1F, 42);
        self.SendMessage(WM_COMMAND, IDCANCEL); // CDialog's entry ends the dialog
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"OK here", "system 31 42"}));
}

TEST(AfxMessageBox, OwnedByTheInnermostRunningDialog) {
    HWND outer = nullptr;
    HWND inner = nullptr;
    Scripted<CDialog> dialog(
        [&](Scripted<CDialog>& self) {
            outer = self.m_hWnd;
            Scripted<CDialog> nested(
                [&](Scripted<CDialog>& second) {
                    inner = second.m_hWnd;
                    AfxMessageBox("inner");
                    second.EndDialog(IDOK);
                },
                IDD_HUSHWELL_DIALOG);
            nested.DoModal();
            // Another window active, as when another program has the foreground, changes nothing.
            const HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9,
                                               nullptr, nullptr, nullptr, nullptr);
            SetActiveWindow(other);
            AfxMessageBox("outer", MB_YESNO);
            DestroyWindow(other);
            self.EndDialog(IDOK);
        },
        IDD_HUSHWELL_DIALOG);
    g_boxes.clear();
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(g_boxes.size(), 2u);
    EXPECT_EQ(g_boxes[0].owner, inner);
    EXPECT_EQ(g_boxes[1].owner, outer);
    EXPECT_NE(outer, inner);
    EXPECT_EQ(g_boxes[1].caption + " " + std::to_string(g_boxes[1].type), "framework_tests 4");
}

} // namespace

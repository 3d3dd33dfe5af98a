// The watcher itself: it sees message boxes in order, each once, and nothing else.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/afxwin.h"
#include "tests/framework/scripted_dialog.h"
#include "tests/framework/test_resources.h"
#include "tests/lib/message_boxes.h"

namespace {

TEST(MessageBoxWatcher, RecordsEachBoxOnceInOrderAndClosesIt) {
    MessageBoxWatcher watcher;
    EXPECT_EQ(IDOK, AfxMessageBox("one"));
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "two", "framework_tests", MB_OK | MB_ICONEXCLAMATION));
    ASSERT_EQ(2u, watcher.Boxes().size());
    EXPECT_EQ((std::vector<std::string>{"one", "two"}), watcher.Texts());
    EXPECT_EQ((std::vector<std::string>{"framework_tests", "framework_tests"}), watcher.Captions());
    EXPECT_FALSE(watcher.Boxes()[0].hasIcon);
    EXPECT_TRUE(watcher.Boxes()[1].hasIcon);
    Sleep(100);
    EXPECT_EQ(2u, watcher.Boxes().size()) << "a box is recorded once";
    watcher.Clear();
    EXPECT_TRUE(watcher.Texts().empty());
}

TEST(MessageBoxWatcher, LeavesOtherDialogsAlone) {
    MessageBoxWatcher watcher;
    ScriptedDialog dialog(IDD_EXCHANGE, [&](ScriptedDialog& self) {
        SetWindowTextA(self.m_hWnd, AfxGetAppName().c_str());
        Sleep(100); // several rounds of the watcher
        EXPECT_TRUE(IsWindowVisible(self.m_hWnd));
        self.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_TRUE(watcher.Texts().empty());
}

DWORD WINAPI ShowBoxLater(void*) {
    Sleep(50);
    AfxMessageBox("from another thread");
    return 0;
}

TEST(MessageBoxWatcher, WaitsForBoxesShownElsewhere) {
    MessageBoxWatcher watcher;
    const HANDLE thread = CreateThread(nullptr, 0, &ShowBoxLater, nullptr, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    EXPECT_TRUE(watcher.WaitForBoxes(1));
    EXPECT_EQ(std::vector<std::string>{"from another thread"}, watcher.Texts());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
    CloseHandle(thread);
    EXPECT_FALSE(watcher.WaitForBoxes(2, 100));
}

} // namespace

// The main dialog's wiring: what it shows at start, the handler each button and system command
// reaches, the state and messages that follow, the close box, and where the minimized icon goes.
#include "app/minimized_icon.h"
#include "dialog/hushwell_dlg.h"
#include "res/resource.h"
#include "tests/framework/script_dialog.h"
#include "tests/radio/operator_messages.h"
#include "tests/radio/fake_radio_link.h"

#include <gtest/gtest.h>

namespace {

// Notes the dialog a system command opened over the main dialog among the boxes, and ends it.
void CALLBACK CloseOpened(HWND, UINT, UINT_PTR, DWORD) {
    CDialog* dialog = AfxGetRunningModalDialog();
    if (dialog && dialog != AfxGetApp()->m_pMainWnd) {
        char caption[64] = {};
        GetWindowTextA(dialog->GetSafeHwnd(), caption, sizeof caption);
        g_boxes.push_back({nullptr, std::string("(") + caption + ")", "", 0});
        dialog->EndDialog(IDOK);
    }
}

struct Step {
    UINT message; // WM_COMMAND comes from the button whose id is wParam
    WPARAM wParam;
    const char* fail;  // of the fake radio link
    std::string after; // the boxes and dialogs shown, then the state
    const char* typed = nullptr;
};

TEST(MainDialog, Wiring) {
    const Step steps[] = {
        {WM_COMMAND, IDC_WRITE, "", kMustRead + "read 0, 0, range 0..0"},
        {WM_COMMAND, IDC_DEFAULT, "", "read 0, 8, range 0..0"},
        {WM_COMMAND, IDC_READ, "Open#1", kProgrammingMode + "read 0, 8, range 0..0"},
        {WM_COMMAND, IDC_READ, "", "read 1, 10, range 0..15"},
        {WM_COMMAND, IDC_WRITE, "",
         "Box Please enter a whole number between 0 and 15.\nread 1, 16, range 0..15", "16"},
        {WM_COMMAND, IDC_RESET_RADIO, "Open#1", kCouldNotReset + "read 0, 16, range 0..15"},
        {WM_COMMAND, IDC_RESET_RADIO, "", "read 0, 16, range 0..15"},
        {WM_SYSCOMMAND, 0x10, "", "(About Hushwell)\nread 0, 16, range 0..15"},
        {WM_SYSCOMMAND, 0x1F, "", "(About Hushwell)\nread 0, 16, range 0..15"},
        {WM_SYSCOMMAND, 0x09, "", "(Hushwell Help)\nread 0, 16, range 0..15"},
    };
    CWinApp app; // as in the program: the main dialog is its main window
    Scripted<CHushwellDlg> dialog([&](auto& self) {
        UDACCEL accel[3] = {};
        const HWND spin = self.Item(IDC_SQUELCH_SPIN);
        EXPECT_EQ(SendMessageA(spin, UDM_GETACCEL, 3, reinterpret_cast<LPARAM>(accel)), 2);
        EXPECT_EQ((std::vector<UINT>{accel[0].nSec, accel[0].nInc, accel[1].nSec, accel[1].nInc}),
                  (std::vector<UINT>{0, 1, 3, 5}));
        const HMENU menu = GetSystemMenu(self.m_hWnd, FALSE);
        std::string items;
        for (int i = GetMenuItemCount(menu) - 3; i < GetMenuItemCount(menu); ++i) {
            char text[64] = {};
            GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
            items += std::string(text) + " " + std::to_string(GetMenuItemID(menu, i)) + "\n";
        }
        EXPECT_EQ(items, " 0\n&About Hushwell... 16\n&Help for Hushwell 9\n");

        for (const Step& step : steps) {
            std::vector<std::string> calls;
            FakeRadio radio(calls, step.fail);
            if (step.typed) {
                SetWindowTextA(self.Item(IDC_SQUELCH_VALUE), step.typed);
            }
            g_boxes.clear();
            const UINT_PTR timer = SetTimer(nullptr, 0, 0, CloseOpened);
            const HWND button = step.message == WM_COMMAND ? self.Item(step.wParam) : nullptr;
            self.SendMessage(step.message, step.wParam, reinterpret_cast<LPARAM>(button));
            KillTimer(nullptr, timer);
            int lower = -1, upper = -1;
            SendMessageA(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                         reinterpret_cast<LPARAM>(&upper));
            std::string after;
            for (const SeenBox& box : g_boxes) {
                after += (box.caption.empty() ? "" : "Box ") + box.text + "\n"; // captioned: a box
            }
            char entry[64] = {};
            GetDlgItemTextA(self.m_hWnd, IDC_SQUELCH_VALUE, entry, sizeof entry);
            EXPECT_EQ(after + "read " + std::to_string(self.m_valueRead) + ", " + entry +
                          ", range " + std::to_string(lower) + ".." + std::to_string(upper),
                      step.after)
                << "message " << step.message << ", " << step.wParam;
        }
        self.SendMessage(WM_SYSCOMMAND, SC_CLOSE); // the close box
    });
    app.m_pMainWnd = &dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST(MinimizedIcon, CentredWithTruncationTowardZero) {
    // A square client area of each size, and a 32 x 16 icon.
    const std::tuple<int, int, int> rows[] = {{160, 64, 72}, {33, 1, 9}, {20, -5, 2}};
    for (const auto& [size, x, y] : rows) {
        const POINT origin = CentredIconOrigin(RECT{0, 0, size, size}, 32, 16);
        EXPECT_EQ(std::to_string(origin.x) + "," + std::to_string(origin.y),
                  std::to_string(x) + "," + std::to_string(y));
    }
}

} // namespace

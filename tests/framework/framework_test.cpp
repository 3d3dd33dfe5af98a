// What the program relies on in the framework: taking a number from an edit box (DDX_Text, then
// DDV_MinMaxUInt with 0 to 15) with the message a refusal shows, the value left behind, the focus
// and the selection; and message boxes owned by the innermost running dialog, titled with the
// program's name. (Message maps show in the main dialog's tests.)
#include "res/resource.h"
#include "tests/framework/script_dialog.h"

#include <gtest/gtest.h>

namespace {

class ExchangeDialog : public CDialog {
public:
    ExchangeDialog() : CDialog(IDD_HUSHWELL_DIALOG) {} // the program's: an edit box and buttons
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, IDC_SQUELCH_VALUE, value);
        DDV_MinMaxUInt(pDX, value, 0, 15);
    }
    UINT value = 0;
};

const std::string kNumber = "Please enter a whole number of 0 or more.";
const std::string kRange = "Please enter a whole number between 0 and 15.";
// What a refusal shows: the message, with the focus back in the entry and its whole text
// selected; then the member, 4242 as the test left it unless the number was taken.
std::string Refused(const std::string& message, UINT value = 4242) {
    return "(refused) " + message + " (selected) " + std::to_string(value);
}

struct Entry {
    std::string text;
    std::string seen;
};

std::vector<Entry> Entries() {
    std::vector<Entry> entries = {{" \t 015\t ", "15"},
                                  {"16", Refused(kRange, 16)},
                                  {"4294967295", Refused(kRange, 4294967295u)},
                                  {"4294967296", Refused(kNumber)},
                                  {"18446744073709551631", Refused(kNumber)}, // 2^64 + 15
                                  {"1 2", Refused(kNumber)},
                                  {"+3", Refused(kNumber)},
                                  {std::string(32766, '0') + "9", "9"},
                                  {std::string(999, ' ') + "5" + std::string(999, ' '), "5"},
                                  {std::string(40, '9'), Refused(kNumber)}};
    // Every character alone: the ten digits are numbers, nothing else is (blanks, signs,
    // superscripts and other characters of the code page included). Wine's edit control hangs
    // on the small tilde (98h) alone.
    for (int c = 1; c < 256; c += c == 0x97 ? 2 : 1) {
        const bool digit = c >= '0' && c <= '9';
        entries.push_back({std::string(1, static_cast<char>(c)),
                           digit ? std::to_string(c - '0') : Refused(kNumber)});
    }
    return entries;
}

TEST(DataExchange, EntriesMessagesAndFocus) {
    Scripted<ExchangeDialog> dialog([](auto& self) {
        const HWND edit = self.Item(IDC_SQUELCH_VALUE);
        for (const Entry& entry : Entries()) {
            g_boxes.clear();
            self.value = 4242;
            SetWindowTextA(edit, entry.text.c_str());
            SetFocus(self.Item(IDC_READ)); // a refusal must bring the focus back
            std::string seen = self.UpdateData(TRUE) ? "" : "(refused) ";
            for (const SeenBox& box : g_boxes) {
                seen += box.text + (box.type == (MB_OK | MB_ICONEXCLAMATION) ? " " : " (type) ");
            }
            DWORD start = 1, end = 0;
            SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                         reinterpret_cast<LPARAM>(&end));
            if (!g_boxes.empty() && GetFocus() == edit && start == 0 &&
                end == static_cast<DWORD>(GetWindowTextLengthA(edit))) {
                seen += "(selected) ";
            }
            EXPECT_EQ(seen + std::to_string(self.value), entry.seen)
                << "entry \"" << entry.text.substr(0, 24) << "\" of " << entry.text.size();
        }
        self.EndDialog(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(AfxMessageBox, OwnedByTheInnermostRunningDialog) {
    using Dialog = Scripted<ExchangeDialog>;
    HWND outer = nullptr, inner = nullptr;
    Dialog dialog([&](Dialog& self) {
        outer = self.m_hWnd;
        Dialog nested([&](Dialog& second) {
            inner = second.m_hWnd;
            AfxMessageBox("inner");
            second.EndDialog(IDOK);
        });
        nested.DoModal();
        // Another window active, as when another program has the foreground, changes nothing.
        const HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9,
                                           nullptr, nullptr, nullptr, nullptr);
        SetActiveWindow(other);
        AfxMessageBox("outer", MB_YESNO);
        DestroyWindow(other);
        self.EndDialog(IDOK);
    });
    g_boxes.clear();
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(g_boxes.size(), 2u);
    EXPECT_EQ(g_boxes[0].owner, inner);
    EXPECT_EQ(g_boxes[1].owner, outer);
    EXPECT_EQ(g_boxes[1].caption + " " + std::to_string(g_boxes[1].type), "framework_tests 4");
}

} // namespace

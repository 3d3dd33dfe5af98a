// Taking a number from an edit box (DDX_Text, then DDV_MinMaxUInt with 0 to 15): what is
// accepted, the message a refusal shows, the value left behind, and the focus and selection.
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

const char kNumber[] = "Please enter a whole number of 0 or more.";
const char kRange[] = "Please enter a whole number between 0 and 15.";
constexpr UINT kKept = 4242;

struct Entry {
    std::string text;
    const char* message; // null: accepted
    UINT value;          // the member afterwards
};

std::vector<Entry> Entries() {
    std::vector<Entry> entries = {{"007", nullptr, 7},
                                  {" \t 15\t ", nullptr, 15},
                                  {"16", kRange, 16},
                                  {"4294967295", kRange, 4294967295u},
                                  {"4294967296", kNumber, kKept},
                                  {"18446744073709551631", kNumber, kKept}, // 2^64 + 15
                                  {"1 2", kNumber, kKept},
                                  {"-0", kNumber, kKept},
                                  {"+3", kNumber, kKept},
                                  {"0x1", kNumber, kKept},
                                  {"\xEF\xBC\x91", kNumber, kKept}, // a full-width one in UTF-8
                                  {std::string(32766, '0') + "9", nullptr, 9},
                                  {std::string(999, ' ') + "5" + std::string(999, ' '), nullptr, 5},
                                  {std::string(40, '9'), kNumber, kKept}};
    // Every character alone: the ten digits are numbers, nothing else is (blanks, signs,
    // superscripts and other characters of the code page included). Wine's edit control hangs
    // on the small tilde (98h) alone.
    for (int c = 1; c < 256; c += c == 0x97 ? 2 : 1) {
        const bool digit = c >= '0' && c <= '9';
        entries.push_back({std::string(1, static_cast<char>(c)), digit ? nullptr : kNumber,
                           digit ? static_cast<UINT>(c - '0') : kKept});
    }
    return entries;
}

TEST(DataExchange, EntriesMessagesAndFocus) {
    Scripted<ExchangeDialog> dialog([](Scripted<ExchangeDialog>& self) {
        const HWND edit = self.Item(IDC_SQUELCH_VALUE);
        for (const Entry& entry : Entries()) {
            SCOPED_TRACE("entry \"" + entry.text.substr(0, 24) + "\" of " +
                         std::to_string(entry.text.size()));
            g_boxes.clear();
            self.value = kKept;
            SetWindowTextA(edit, entry.text.c_str());
            SetFocus(self.Item(IDC_READ)); // a refusal must bring the focus back
            EXPECT_EQ(self.UpdateData(TRUE) != FALSE, entry.message == nullptr);
            EXPECT_EQ(self.value, entry.value);
            std::string shown;
            for (const SeenBox& box : g_boxes) {
                shown += box.text + (box.type == (MB_OK | MB_ICONEXCLAMATION) ? "\n" : " (type)\n");
            }
            EXPECT_EQ(shown, entry.message ? entry.message + std::string("\n") : "");
            if (!entry.message) {
                continue;
            }
            EXPECT_EQ(GetFocus(), edit);
            DWORD start = 1, end = 0;
            SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                         reinterpret_cast<LPARAM>(&end));
            EXPECT_EQ(start, 0u);
            EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthA(edit)));
        }
        self.EndDialog(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

} // namespace

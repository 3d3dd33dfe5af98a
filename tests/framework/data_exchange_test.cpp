// DDX_Text for unsigned numbers and DDV_MinMaxUInt in a live dialog, with the messages a person
// sees and where the focus ends up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/afxwin.h"
#include "tests/framework/scripted_dialog.h"
#include "tests/framework/test_resources.h"
#include "tests/lib/message_boxes.h"

namespace {

const char kNumberMessage[] = "Please enter a whole number of 0 or more.";
const char kAppName[] = "framework_tests";
constexpr UINT kUntouched = 4242;

struct Selection {
    DWORD start;
    DWORD end;
};

Selection SelectionOf(HWND edit) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

// Runs the script in an open ExchangeDialog and returns DoModal's result.
INT_PTR RunExchangeDialog(ExchangeDialog& dialog) {
    const INT_PTR result = dialog.DoModal();
    EXPECT_EQ(1, dialog.m_initDialogCalls);
    return result;
}

// Expects a failed exchange: one box with the text, owned by the dialog; the focus in the edit
// box with its whole text selected.
void ExpectFailedExchange(ScriptedDialog& dialog, const MessageBoxWatcher& watcher,
                          const std::string& message, const std::string& entry) {
    ASSERT_EQ(1u, watcher.Boxes().size());
    const SeenMessageBox box = watcher.Boxes().front();
    EXPECT_EQ(message, box.text);
    EXPECT_EQ(kAppName, box.caption);
    EXPECT_EQ(dialog.m_hWnd, box.owner);
    EXPECT_TRUE(box.hasIcon); // the framework's validation messages carry the exclamation icon
    EXPECT_EQ(entry, dialog.ItemText(IDC_VALUE)) << "the operator's text stays";
    EXPECT_EQ(dialog.Item(IDC_VALUE), GetFocus());
    const Selection selection = SelectionOf(dialog.Item(IDC_VALUE));
    EXPECT_EQ(0u, selection.start);
    EXPECT_EQ(entry.size(), selection.end);
}

struct AcceptedEntry {
    const char* text;
    UINT value;
};

TEST(DataExchange, AcceptsUnsignedDecimalNumbersWithSurroundingBlanks) {
    const std::vector<AcceptedEntry> cases = {
        {"0", 0},
        {"15", 15},
        {"16", 16}, // no range check in this exchange
        {"007", 7},
        {"  7", 7},
        {"7\t", 7},
        {" \t 42 \t ", 42},
        {"4294967295", 4294967295u},
        {"0000000000004294967295", 4294967295u},
    };
    MessageBoxWatcher watcher;
    ExchangeDialog dialog(IDD_EXCHANGE, [&](ScriptedDialog&) {
        for (const AcceptedEntry& entry : cases) {
            SCOPED_TRACE(std::string("entry \"") + entry.text + "\"");
            dialog.m_value = kUntouched;
            dialog.SetItemText(IDC_VALUE, entry.text);
            EXPECT_TRUE(dialog.UpdateData(TRUE));
            EXPECT_EQ(entry.value, dialog.m_value);
            EXPECT_EQ(entry.text, dialog.ItemText(IDC_VALUE)) << "saving leaves the text alone";
        }
        dialog.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, RunExchangeDialog(dialog));
    EXPECT_TRUE(watcher.Texts().empty());
}

TEST(DataExchange, RejectsEverythingElseWithTheNumberMessageAndKeepsTheMember) {
    const std::vector<std::string> cases = {
        "",
        "   ",
        "\t",
        "-1",
        "-0",
        "+3",
        "1 2",
        "1.5",
        "1e3",
        "0x10",
        "abc",
        "12a",
        "a12",
        "4294967296",           // one past 32 bits
        "99999999999",          // far past 32 bits
        "18446744073709551616", // 2 to the 64th: a 64-bit sum would wrap to 0
        "18446744073709551631", // would wrap to 15
        "\xB2",                 // superscript two in the Windows Latin-1 code page
        "1\xB9",                // one, superscript one
        "\xEF\xBC\x91",         // a full-width digit one in UTF-8
        "\xA0"
        "5", // no-break space before a digit
    };
    MessageBoxWatcher watcher;
    ExchangeDialog dialog(IDD_EXCHANGE, [&](ScriptedDialog&) {
        for (const std::string& entry : cases) {
            SCOPED_TRACE("entry \"" + entry + "\"");
            watcher.Clear();
            dialog.m_value = kUntouched;
            dialog.SetItemText(IDC_VALUE, entry);
            SetFocus(dialog.Item(IDC_FIRST)); // the failure must move the focus back
            EXPECT_FALSE(dialog.UpdateData(TRUE));
            EXPECT_EQ(kUntouched, dialog.m_value);
            ExpectFailedExchange(dialog, watcher, kNumberMessage, entry);
        }
        dialog.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, RunExchangeDialog(dialog));
}

struct RangeCase {
    const char* text;
    UINT min;
    UINT max;
    const char* message; // null: accepted
    UINT value;          // the member afterwards
};

TEST(DataExchange, RangeCheckStoresTheNumberThenRejectsValuesOutsideTheLimits) {
    const std::vector<RangeCase> cases = {
        {"0", 0, 15, nullptr, 0},
        {"15", 0, 15, nullptr, 15},
        {"16", 0, 15, "Please enter a whole number between 0 and 15.", 16},
        {"20", 0, 15, "Please enter a whole number between 0 and 15.", 20},
        {"4294967295", 0, 15, "Please enter a whole number between 0 and 15.", 4294967295u},
        {"4", 5, 10, "Please enter a whole number between 5 and 10.", 4},
        {"5", 5, 10, nullptr, 5},
        {"10", 5, 10, nullptr, 10},
        {"11", 5, 10, "Please enter a whole number between 5 and 10.", 11},
        // Not a number: the number message alone, and the member keeps its value.
        {"x", 0, 15, kNumberMessage, kUntouched},
    };
    MessageBoxWatcher watcher;
    ExchangeDialog dialog(IDD_EXCHANGE, [&](ScriptedDialog&) {
        dialog.m_checkRange = true;
        for (const RangeCase& entry : cases) {
            SCOPED_TRACE(std::string("entry \"") + entry.text + "\"");
            watcher.Clear();
            dialog.m_value = kUntouched;
            dialog.m_min = entry.min;
            dialog.m_max = entry.max;
            dialog.SetItemText(IDC_VALUE, entry.text);
            SetFocus(dialog.Item(IDC_FIRST));
            EXPECT_EQ(entry.message == nullptr, dialog.UpdateData(TRUE) != FALSE);
            EXPECT_EQ(entry.value, dialog.m_value);
            if (entry.message) {
                ExpectFailedExchange(dialog, watcher, entry.message, entry.text);
            } else {
                EXPECT_TRUE(watcher.Texts().empty());
                EXPECT_EQ(dialog.Item(IDC_FIRST), GetFocus());
            }
        }
        dialog.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, RunExchangeDialog(dialog));
}

TEST(DataExchange, ShowingWritesDecimalTextAndAppliesNoRange) {
    const std::vector<std::pair<UINT, std::string>> cases = {
        {0, "0"}, {8, "8"}, {16, "16"}, {4294967295u, "4294967295"}};
    MessageBoxWatcher watcher;
    ExchangeDialog dialog(IDD_EXCHANGE, [&](ScriptedDialog&) {
        dialog.m_checkRange = true;
        for (const auto& [value, text] : cases) {
            SCOPED_TRACE(text);
            dialog.SetItemText(IDC_VALUE, "junk");
            dialog.m_value = value;
            EXPECT_TRUE(dialog.UpdateData(FALSE));
            EXPECT_EQ(text, dialog.ItemText(IDC_VALUE));
            EXPECT_EQ(value, dialog.m_value);
        }
        dialog.EndDialog(IDOK);
    });
    dialog.m_value = 37;
    EXPECT_EQ(IDOK, RunExchangeDialog(dialog));
    EXPECT_TRUE(watcher.Texts().empty());
}

TEST(DataExchange, OnInitDialogMakesTheFirstExchange) {
    std::string shownAtStart;
    ExchangeDialog dialog(IDD_EXCHANGE, [&](ScriptedDialog& self) {
        shownAtStart = self.ItemText(IDC_VALUE);
        self.EndDialog(IDOK);
    });
    dialog.m_value = 37;
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ("37", shownAtStart);
}

class ThrowingDialog : public ScriptedDialog {
public:
    using ScriptedDialog::ScriptedDialog;
    void DoDataExchange(CDataExchange*) override { throw std::runtime_error("unexpected"); }
};

TEST(DataExchange, UpdateDataLetsNoExceptionOut) {
    BOOL saved = TRUE;
    BOOL shown = TRUE;
    ThrowingDialog dialog(IDD_EXCHANGE, [&](ScriptedDialog& self) {
        saved = self.UpdateData(TRUE);
        shown = self.UpdateData(FALSE);
        self.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_FALSE(saved);
    EXPECT_FALSE(shown);
}

TEST(DataExchange, OkTakesTheEntryAndEndsTheDialogOnlyWhenItIsValid) {
    MessageBoxWatcher watcher;
    ExchangeDialog dialog(IDD_EXCHANGE, [&](ScriptedDialog& self) {
        self.SetItemText(IDC_VALUE, "16");
        self.OnOK(); // range check fails: the dialog stays
        EXPECT_EQ(std::vector<std::string>{"Please enter a whole number between 0 and 15."},
                  watcher.Texts());
        EXPECT_TRUE(IsWindowVisible(self.m_hWnd));
        self.SetItemText(IDC_VALUE, "12");
        PressKey(VK_RETURN); // Enter: the dialog manager sends IDOK, and OnOK ends the dialog
    });
    dialog.m_checkRange = true;
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(12u, dialog.m_value);
    EXPECT_EQ(1u, watcher.Texts().size());
}

} // namespace

// The main dialog as the operator meets it: what it shows at start, the buttons, the entry and
// its checks, the up-down range, Reset Radio, and the messages seen on the way.
#include "app/minimized_icon.h"
#include "radio/radio_messages.h"
#include "res/resource.h"
#include "tests/dialog/dialog_session.h"
#include "tests/radio/worked_radio.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr char kNumberMessage[] = "Please enter a whole number of 0 or more.";
constexpr char kRangeMessage[] = "Please enter a whole number between 0 and 15.";
constexpr HRESULT kPortBusy = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);

std::string Box(const std::string& text) {
    return "MessageBox: " + text;
}

bool AnyStartsWith(const std::vector<std::string>& calls, const std::string& prefix) {
    return std::any_of(calls.begin(), calls.end(),
                       [&](const std::string& call) { return call.rfind(prefix, 0) == 0; });
}

TEST(MainDialog, OpensShowingZeroWithTheArrowsHeld) {
    DialogSession session;
    EXPECT_EQ(session.EntryText(), "0");
    EXPECT_EQ(session.SpinRange(), std::make_pair(0, 0));
    EXPECT_EQ(session.Focus(), session.Item(IDC_READ)) << "the first Tab stop has the focus";
    EXPECT_FALSE(session.Dlg().m_valueRead);

    UDACCEL accel[3] = {};
    EXPECT_EQ(SendMessageA(session.Item(IDC_SQUELCH_SPIN), UDM_GETACCEL, 3,
                           reinterpret_cast<LPARAM>(accel)),
              2);
    EXPECT_EQ((std::vector<UINT>{accel[0].nSec, accel[0].nInc, accel[1].nSec, accel[1].nInc}),
              (std::vector<UINT>{0, 1, 3, 5}));

    // Before a read the Up arrow cannot move the value.
    SendMessageA(session.Item(IDC_SQUELCH_SPIN), UDM_SETPOS32, 0, 1);
    EXPECT_EQ(SendMessageA(session.Item(IDC_SQUELCH_SPIN), UDM_GETPOS32, 0, 0), 0);
    EXPECT_TRUE(session.Calls().empty()) << "opening the dialog sends nothing to the radio";
}

TEST(MainDialog, WriteIsRefusedUntilARead) {
    DialogSession session;
    session.Press(IDC_WRITE);
    session.Press(IDC_DEFAULT);
    EXPECT_EQ(session.EntryText(), "8");
    session.Press(IDC_WRITE);
    EXPECT_EQ(session.Calls(),
              (std::vector<std::string>{Box(kMsgMustReadFirst), Box(kMsgMustReadFirst)}));
    for (const SeenMessageBox& box : session.Boxes()) {
        EXPECT_EQ(box.owner, session.Dialog()) << "the box belongs to the main dialog";
        EXPECT_EQ(box.caption, AfxGetAppName());
    }
}

TEST(MainDialog, ReadShowsTheValueAndOpensTheRange) {
    DialogSession session(LoadWorkedRadio);
    session.Type("12");
    session.Press(IDC_READ);
    EXPECT_EQ(session.EntryText(), "10") << "the read replaces what was typed";
    EXPECT_EQ(session.SpinRange(), std::make_pair(0, 15));
    EXPECT_TRUE(session.Dlg().m_valueRead);
    EXPECT_TRUE(AnyStartsWith(session.Calls(), "Request REQ_RD_DATA @160"));
}

TEST(MainDialog, EntriesAreCheckedWhenWriteTakesThem) {
    struct Case {
        const char* entry;
        const char* message; // null: accepted
    };
    DialogSession session(LoadWorkedRadio);
    session.Press(IDC_READ);
    for (const Case& c :
         {Case{"16", kRangeMessage}, Case{"abc", kNumberMessage}, Case{"", kNumberMessage},
          Case{"   ", kNumberMessage}, Case{"-1", kNumberMessage},
          Case{"99999999999", kNumberMessage}, Case{"4294967312", kNumberMessage},
          Case{"0", nullptr}, Case{"15", nullptr}}) {
        session.ClearCalls();
        session.Type(c.entry);
        session.Press(IDC_WRITE);
        const std::vector<std::string> calls = session.Calls();
        if (c.message) {
            EXPECT_NE(std::find(calls.begin(), calls.end(), Box(c.message)), calls.end())
                << "'" << c.entry << "'";
            EXPECT_FALSE(AnyStartsWith(calls, "Request")) << "'" << c.entry << "' wrote";
            EXPECT_TRUE(AnyStartsWith(calls, "Open COM1 4")) << "'" << c.entry << "'";
            EXPECT_TRUE(AnyStartsWith(calls, "Close")) << "'" << c.entry << "'";
            EXPECT_EQ(session.EntryText(), c.entry) << "the operator's text stays";
            EXPECT_EQ(session.Focus(), session.Item(IDC_SQUELCH_VALUE)) << "'" << c.entry << "'";
            const LRESULT selection =
                SendMessageA(session.Item(IDC_SQUELCH_VALUE), EM_GETSEL, 0, 0);
            EXPECT_EQ(LOWORD(selection), 0);
            EXPECT_EQ(HIWORD(selection), strlen(c.entry)) << "the whole text is selected";
        } else {
            EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                                    [](const std::string& call) {
                                        return call.rfind("Request REQ_WR_DATA", 0) == 0;
                                    }),
                      3)
                << "'" << c.entry << "'";
            EXPECT_EQ(session.Dlg().m_squelchValue, std::stoul(c.entry));
        }
    }
}

TEST(MainDialog, ARefusedNumberStaysInTheValueUntilNextSet) {
    DialogSession session(LoadWorkedRadio);
    session.Press(IDC_READ);
    session.Type("20");
    session.Press(IDC_WRITE);
    EXPECT_EQ(session.Dlg().m_squelchValue, 20u);

    // The next read cannot open its port: it redisplays the value it holds, 20.
    session.Radio().m_opens = 0;
    session.Radio().Config().openResults = {S_OK, S_OK, kPortBusy};
    session.ClearCalls();
    session.Press(IDC_READ);
    EXPECT_NE(std::find(session.Calls().begin(), session.Calls().end(), Box(kMsgCouldNotOpenPort)),
              session.Calls().end());
    EXPECT_EQ(session.EntryText(), "20");
    session.Press(IDC_WRITE);
    EXPECT_EQ(session.Calls().back(), "Release IPacketTransfer");
    EXPECT_NE(std::find(session.Calls().begin(), session.Calls().end(), Box(kRangeMessage)),
              session.Calls().end());
}

TEST(MainDialog, ResetRadioClearsTheReadAndKeepsTheDisplay) {
    DialogSession session(LoadWorkedRadio);
    session.Press(IDC_READ);
    session.ClearCalls();
    session.Press(IDC_RESET_RADIO);
    session.Press(IDC_WRITE);
    EXPECT_EQ(session.Calls(),
              (std::vector<std::string>{"CommandLink.CreateInstance", "Open COM1 0",
                                        "Send 5 [00 00 05 08 00]", "Close", "Release IRadioLink",
                                        Box(kMsgMustReadFirst)}));
    EXPECT_EQ(session.EntryText(), "10");
    EXPECT_EQ(session.SpinRange(), std::make_pair(0, 15)) << "the range stays open";
}

TEST(MainDialog, ResetRadioThatFailsSaysSorry) {
    DialogSession session([](FakeRadio& radio) { radio.Config().openResults = {kPortBusy}; });
    session.Press(IDC_RESET_RADIO);
    EXPECT_EQ(session.Calls(),
              (std::vector<std::string>{"CommandLink.CreateInstance", "Open COM1 0",
                                        "Release IRadioLink", Box(kMsgCouldNotReset)}));
    EXPECT_FALSE(session.Dlg().m_valueRead);
}

TEST(MainDialog, SystemMenuEndsWithAboutAndHelp) {
    DialogSession session;
    HMENU menu = GetSystemMenu(session.Dialog(), FALSE);
    ASSERT_NE(menu, nullptr);
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 4);
    EXPECT_EQ(GetMenuState(menu, count - 3, MF_BYPOSITION) & MF_SEPARATOR, UINT{MF_SEPARATOR});
    char text[64];
    GetMenuStringA(menu, count - 2, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&About Hushwell...");
    EXPECT_EQ(GetMenuItemID(menu, count - 2), 0x10u);
    GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Help for Hushwell");
    EXPECT_EQ(GetMenuItemID(menu, count - 1), 9u);
}

TEST(MainDialog, SystemCommandsOpenAboutAndHelpAndLeaveTheStateAlone) {
    struct Case {
        UINT command;
        const char* caption;
        int textId;
        const char* text;
    };
    DialogSession session(LoadWorkedRadio);
    session.Press(IDC_READ);
    for (const Case& c :
         {Case{0x10, "About Hushwell", 0, nullptr}, Case{0x1F, "About Hushwell", 0, nullptr},
          Case{9, "Hushwell Help", 1012, "Operation is very straightforward:"}}) {
        session.SysCommand(c.command);
        HWND opened = WaitForDialog(c.caption);
        ASSERT_NE(opened, nullptr) << std::hex << c.command;
        if (c.text) {
            EXPECT_EQ(WindowText(GetDlgItem(opened, c.textId)), c.text);
        }
        EXPECT_EQ(GetWindow(opened, GW_OWNER), session.Dialog()) << "owned by the main dialog";
        PostMessageA(opened, WM_COMMAND, IDOK, 0);
        for (int i = 0; i < 200 && IsWindow(opened); ++i) {
            Sleep(10);
        }
        EXPECT_FALSE(IsWindow(opened)) << c.caption << " did not close";
    }
    EXPECT_EQ(session.EntryText(), "10");
    EXPECT_TRUE(session.Dlg().m_valueRead);
}

TEST(MainDialog, WindowIconsAreTheApplicationIcon) {
    DialogSession session;
    const LRESULT big = SendMessageA(session.Dialog(), WM_GETICON, ICON_BIG, 0);
    const LRESULT small = SendMessageA(session.Dialog(), WM_GETICON, ICON_SMALL, 0);
    EXPECT_NE(big, 0);
    EXPECT_EQ(big, small);
    EXPECT_EQ(SendMessageA(session.Dialog(), WM_QUERYDRAGICON, 0, 0), big);
}

TEST(MainDialog, CloseBoxEndsTheDialogWithCancel) {
    DialogSession session;
    EXPECT_EQ(session.Close(), IDCANCEL);
    EXPECT_TRUE(session.Calls().empty()) << "closing sends nothing to the radio";
}

TEST(MinimizedIcon, CentredWithTruncationTowardZero) {
    struct Case {
        int width, height;
        int x, y;
    };
    for (const Case& c : {Case{160, 64, 64, 16}, Case{33, 33, 1, 1}, Case{20, 20, -5, -5},
                          Case{32, 31, 0, 0}, Case{0, 0, -15, -15}}) {
        const POINT origin = CentredIconOrigin(RECT{0, 0, c.width, c.height}, 32, 32);
        EXPECT_EQ(origin.x, c.x) << c.width;
        EXPECT_EQ(origin.y, c.y) << c.height;
    }
}

} // namespace

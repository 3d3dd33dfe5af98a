// The user's settings: what each rundll32 command line stores (as the port a link then opens)
// and the text a person reads, and the link log's lines and bound (tests/component/scratch_user.h).
#include <gtest/gtest.h>

#include "component/settings/settings_commands.h"
#include "tests/component/fake_line.h"
#include "tests/component/scratch_user.h"

namespace {

// The ports that links asked for COM1, COM2 and COM12 open.
std::string Opens() {
    std::string opens;
    for (const char* port : {"COM1", "COM2", "COM12"}) {
        FakeLink fake(false);
        fake.link->Open(port, 0);
        opens += fake.openedName + " ";
    }
    return opens;
}

TEST(PortMapCommand, StoresWhatItSaysOrNothingAndSaysWhy) {
    const std::string x40(40, 'X'), no = "Nothing changed: \"";
    const std::string notName = "\" is not a port name (1 to 32 letters and digits).";
    const std::string use = "\n\nTo map COM1 to COM7: rundll32 radiolink.dll,PortMap COM1=COM7\n"
                            "To remove it: rundll32 radiolink.dll,PortMap COM1=";
    const char* same = "COM1 COM9 COM12 "; // as before
    const struct {
        std::string line;
        bool done;
        std::string message; // a refusal's, without the syntax that follows it
        const char* opens;   // what COM1, COM2 and COM12 open afterwards
    } cases[] = {
        {"COM1=COM7", true, "COM1 now opens COM7.", "COM7 COM9 COM12 "},
        {" com12=cnca0\t", true, "COM12 now opens CNCA0.", "COM1 COM9 CNCA0 "},
        {"COM2=", true, "COM2 now opens COM2 (no mapping).", "COM1 COM2 COM12 "},
        {"COM4=", true, "COM4 now opens COM4 (no mapping).", same}, // there was none
        {" ", true,
         "Port mappings for this user:\nCOM2 opens COM9\n\nSerial ports on this PC: COM1, COM3" +
             use,
         same},
        {"COM1", false, no + "COM1\" is not NAME=NAME or NAME=.", same},
        {"=COM7", false, no + notName, same},
        {"COM1=COM7=COM8", false, no + "COM7=COM8" + notName, same},
        {"COM1=\\\\.\\COM7", false, no + "\\\\.\\COM7" + notName, same},
        {"COM1=" + x40, false, no + x40 + notName, same}, // too long
        {x40 + "COM1", false, no + x40 + "...\" is not NAME=NAME or NAME=.", same},
    };
    for (const auto& c : cases) {
        ScratchUser user;
        Message message;
        EXPECT_EQ(c.done, PortMapCommand(c.line.c_str(), message)) << c.line;
        EXPECT_EQ(c.message + (c.done ? "" : use), message) << c.line;
        EXPECT_EQ(c.opens, Opens()) << c.line;
    }
}

TEST(LinkLogCommand, SwitchesTheLogAndTellsWhereItWrites) {
    ScratchUser user;
    const std::string on = "The link log is on: links opened from now on write their frames to "
                           "C:\\radiolink-test\\radiolink.log.",
                      use =
                          "\n\nTo switch the link log: rundll32 radiolink.dll,LinkLog on (or off)";
    const std::tuple<const char*, bool, std::string, bool> steps[] = {
        {"", true, "The link log is off.", false},
        {"on", true, on, true},
        {"yes", false, "Nothing changed: \"yes\" is not on or off." + use, true},
        {" OFF ", true, "The link log is off.", false},
    };
    for (const auto& [line, done, text, logOn] : steps) {
        Message message;
        EXPECT_EQ(done, LinkLogCommand(line, message)) << line;
        EXPECT_EQ(text, message) << line;
        EXPECT_EQ(logOn, LinkLogOn()) << line;
    }
}

TEST(LinkLog, WritesALinePerFrameAndRetryAndKeepsWithinItsBound) {
    ScratchUser user;
    FakeLink quiet(true); // the log is off until switched on: nothing is written
    ASSERT_EQ(S_OK, quiet.link->Open("COM1", 4));
    EXPECT_EQ("", ReadLog());
    SetLinkLog(true);
    SetPortMapping("COM1", "COM7");
    FakeLink fake(true);
    fake.script = {Answer::Silence, Answer::Damaged, Answer::Stale};
    ASSERT_EQ(S_OK, fake.link->Open("COM1", 4));
    ASSERT_EQ(S_OK, fake.Request("REQ_RD_DATA", "04"));
    ASSERT_EQ(S_OK, fake.Reply());
    const unsigned s = fake.Sent().sequence;
    char expected[512];
    sprintf(expected,
            "open COM1 as COM7: ok\r\n"
            "sent     seq %02X Read       len  1 first send\r\n"
            "sent     seq %02X Read       len  1 send 2 after silence\r\n"
            "received damaged frame: bad_crc\r\n"
            "sent     seq %02X Read       len  1 send 3 after damage\r\n"
            "received seq %02X ReadData   len  4 late answer, skipped\r\n"
            "received seq %02X ReadData   len  4 answer\r\n",
            s, s, s, (s - 1) & 0xFF, s);
    EXPECT_EQ(expected, LogLines());

    // A full log: the next line drops the lines before the newest kLogKept bytes.
    std::string full;
    for (char line[17]; full.size() < kLogLimit; full += line) {
        sprintf(line, "old line %05u\r\n", unsigned(full.size() / 16));
    }
    fake.link->Close();
    std::ofstream(kLog, std::ios::binary) << full;
    ASSERT_EQ(S_OK, fake.link->Open("COM1", 4));
    const std::string log = ReadLog();
    EXPECT_EQ(kLogKept + 47, log.size());
    EXPECT_EQ("old line 08192\r\n", log.substr(0, 16));
    EXPECT_EQ(" open COM1 as COM7: ok\r\n", log.substr(log.size() - 24));
}

} // namespace

// The user's settings: what each rundll32 command line stores (as the port a link then opens)
// and the text a person reads, the port dialog's list and what its OK stores, and the link log's
// lines and bound. HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE are scratch keys, %TMP% a scratch
// folder.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>

#include "component/port_choices.h"
#include "component/port_dialog.h"
#include "component/port_probe.h"
#include "component/settings_commands.h"
#include "component/user_settings.h"
#include "tests/component/fake_line.h"

namespace {

constexpr char kScratch[] = "Software\\Hushwell settings test";
constexpr char kUser[] = "Software\\Hushwell settings test\\user";
constexpr char kMachine[] = "Software\\Hushwell settings test\\machine";
constexpr char kLog[] = "C:\\radiolink-test\\radiolink.log";

// COM2 mapped to COM9; Windows lists COM1 and COM3.
struct ScratchUser {
    ScratchUser() {
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);                // a crashed run's
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) { // HKCU redirected last
            HKEY key = nullptr;
            RegCreateKeyA(HKEY_CURRENT_USER, root == HKEY_CURRENT_USER ? kUser : kMachine, &key);
            RegOverridePredefKey(root, key); // which keeps a reference of its own
            RegCloseKey(key);
        }
        SetPortMapping("COM2", "COM9");
        for (const char* port : {"COM1", "COM3"}) {
            RegSetKeyValueA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", port, REG_SZ,
                            port, 5);
        }
        CreateDirectoryA("C:\\radiolink-test", nullptr);
        GetEnvironmentVariableA("TMP", tmp, MAX_PATH);
        SetEnvironmentVariableA("TMP", "C:\\radiolink-test");
    }
    ~ScratchUser() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        SetEnvironmentVariableA("TMP", tmp);
        DeleteFileA(kLog);
        RemoveDirectoryA("C:\\radiolink-test");
    }
    char tmp[MAX_PATH] = "";
};

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

void AddSerialPort(const std::string& port) {
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", port.c_str(), REG_SZ,
                    port.c_str(), static_cast<DWORD>(port.size() + 1));
}

// The dialog's entries as a person reads them, the selected one in brackets.
std::wstring Entries(const PortChoices& choices) {
    std::wstring entries;
    for (size_t i = 0; i < choices.count; ++i) {
        const std::wstring text = choices.at[i].text;
        entries += (i ? L" | " : L"") + (i == choices.selected ? L"[" + text + L"]" : text);
    }
    return entries;
}

TEST(PortChoices, ListCom1ThenThePortsSelectWhatItOpensAndStoreTheChoice) {
    const std::wstring ch340 = L"COM12 (USB-SERIAL CH340)", com3 = L"COM3 (Communications Port)";
    const struct {
        const char* mapping; // of COM1 beforehand ("" none)
        std::wstring entries;
        size_t choose;     // the entry OK is pressed on
        const char* opens; // what COM1 opens afterwards
    } cases[] = {
        {"", L"[COM1 (no mapping)] | " + com3 + L" | COM5 | " + ch340, 3, "COM12"},
        {"COM5", L"COM1 (no mapping) | " + com3 + L" | [COM5] | " + ch340, 0, "COM1"},
        {"com12", L"COM1 (no mapping) | " + com3 + L" | COM5 | [" + ch340 + L"]", 2, "COM5"},
        {"COM7", L"COM1 (no mapping) | " + com3 + L" | COM5 | [COM7 (not on this PC)] | " + ch340,
         3, "COM7"},
        {"COM 7", L"[COM1 (no mapping)] | " + com3 + L" | COM5 | " + ch340, 1, "COM3"},
    };
    // Windows names COM12's device after it, COM3's not; COM1's and LPT1's are not listed.
    const DeviceNames names{{{"COM12", L"USB-SERIAL CH340 (COM12)"},
                             {"com3", L"Communications Port"},
                             {"COM1", L"Communications Port (COM1)"},
                             {"LPT1", L"Printer Port (LPT1)"}},
                            4};
    for (const auto& c : cases) {
        ScratchUser user; // Windows lists COM1 and COM3
        for (const char* port : {"COM12", "COM5"}) {
            AddSerialPort(port);
        }
        SetPortMapping("COM1", c.mapping);
        PortChoices choices;
        ListPortChoices(names, choices);
        EXPECT_EQ(c.entries, Entries(choices)) << c.mapping;
        EXPECT_EQ(ERROR_SUCCESS, StorePortChoice(choices, c.choose)) << c.mapping;
        PortName mapped;
        EXPECT_STREQ(c.opens, MappedPort("COM1", mapped)) << c.mapping;
    }
    // A full list still holds the port COM1 is mapped to, selected.
    ScratchUser user;
    for (int i = 2; i <= 200; ++i) {
        AddSerialPort("COM" + std::to_string(i));
    }
    SetPortMapping("COM1", "COM999");
    PortChoices choices;
    ListPortChoices(DeviceNames{}, choices);
    EXPECT_EQ(kMaxPortChoices, choices.count);
    ASSERT_LT(choices.selected, choices.count) << "the mapped port is listed";
    EXPECT_STREQ(L"COM999 (not on this PC)", choices.at[choices.selected].text);
}

// Without its template (this test program has none) the dialog cannot be made: that is told,
// not taken for a closed dialog.
TEST(PortDialog, TellsWhyItCannotOpen) {
    EXPECT_EQ(DWORD{ERROR_RESOURCE_DATA_NOT_FOUND},
              RunPortDialog(GetModuleHandleW(nullptr), nullptr));
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

std::string ReadLog() {
    std::ifstream in(kLog, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
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
    proto::Frame sent;
    proto::DecodeFrame(fake.sent[0].data(), fake.sent[0].size() - 1, sent);
    const unsigned s = sent.sequence;
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
    const std::regex time("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} ");
    EXPECT_EQ(expected, std::regex_replace(ReadLog(), time, ""));

    // A probe of Find radio, each line naming its port (here a Nak of the wrong sequence number,
    // then the radio's).
    FakeLink probed(true);
    probed.script = {Answer::OtherNak, Answer::Nak};
    const volatile LONG goOn = 0;
    SearchLog searchLog;
    ProbePort("COM3", probed, probed, searchLog, goOn);
    proto::DecodeFrame(probed.sent[0].data(), probed.sent[0].size() - 1, sent);
    const unsigned p = sent.sequence;
    sprintf(expected,
            "open COM3 to find the radio: ok\r\n"
            "sent     seq %02X Read       len  1 COM3: probe\r\n"
            "received seq %02X Nak        len  1 COM3: not the probe's answer\r\n"
            "sent     seq %02X Read       len  1 COM3: probe again: no answer in time\r\n"
            "received seq %02X Nak        len  1 COM3: a radio's answer\r\n"
            "find radio on COM3: a radio answered\r\n",
            p, (p + 1) & 0xFF, p, p);
    const std::string lines = std::regex_replace(ReadLog(), time, "");
    EXPECT_EQ(expected, lines.substr(lines.size() - std::min(lines.size(), strlen(expected))));

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

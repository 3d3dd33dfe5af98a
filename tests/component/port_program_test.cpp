// The port program: what its list offers and what OK stores (scratch keys,
// tests/component/scratch_user.h); and what hushwell-port.exe carries for Windows rather than for
// Wine, read from the linked file: its manifest asks for the display scale and Common Controls 6,
// it has Hushwell's icon, and the port dialog asks for the shell's dialog font. (Wine lays out,
// themes and scales dialogs its own way whatever they ask for; scripts/package checks the
// binaries' versions.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "component/port_program/port_choices.h"
#include "component/port_program/port_dialog.h"
#include "component/port_program/port_resource.h"
#include "tests/component/scratch_user.h"

namespace {

// The dialog's entries as a person reads them, the selected one in brackets.
std::wstring Entries(const PortChoices& choices) {
    std::wstring entries;
    for (size_t i = 0; i < choices.count; ++i) {
        const std::wstring text = choices.at[i].text;
        entries += (i ? L" | " : L"") + (i == choices.selected ? L"[" + text + L"]" : text);
    }
    return entries;
}

// A device as SetupAPI describes it: its port, name, instance id and problem code.
void AddDevice(SerialDevices& devices, const char* port, const wchar_t* name,
               const wchar_t* instanceId = L"ROOT\\PORTS\\0000", DWORD problem = 0) {
    SerialDevice& device = devices.at[devices.count++];
    lstrcpyA(device.port, port);
    lstrcpyW(device.name, name);
    ReadInstanceId(instanceId, device);
    device.problem = problem;
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
    SerialDevices devices;
    AddDevice(devices, "COM12", L"USB-SERIAL CH340 (COM12)");
    AddDevice(devices, "com3", L"Communications Port");
    AddDevice(devices, "COM1", L"Communications Port (COM1)");
    AddDevice(devices, "LPT1", L"Printer Port (LPT1)");
    for (const auto& c : cases) {
        ScratchUser user; // Windows lists COM1 and COM3
        for (const char* port : {"COM12", "COM5"}) {
            AddSerialPort(port);
        }
        SetPortMapping("COM1", c.mapping);
        PortChoices choices;
        ListPortChoices(devices, choices);
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
    ListPortChoices(SerialDevices{}, choices);
    EXPECT_EQ(kMaxPortChoices, choices.count);
    ASSERT_LT(choices.selected, choices.count) << "the mapped port is listed";
    EXPECT_STREQ(L"COM999 (not on this PC)", choices.at[choices.selected].text);
}

// Serial adapters plugged in with no working port follow the ports, each saying what it is, what
// stops it and what to do; OK stores nothing for them. A Bluetooth link is marked, and chosen.
TEST(PortChoices, SayWhatStopsEachAdapterAndStoreNothingForIt) {
    SerialDevices devices;
    AddDevice(devices, "COM7", L"PL2303HXA PHASED OUT SINCE 2012. PLEASE CONTACT YOUR SUPPLIER.",
              L"USB\\VID_067B&PID_2303\\5&1A2B3C&0&2", kProblemNotStarted);
    AddDevice(devices, "", L"USB2.0-Serial", L"USB\\VID_1A86&PID_7523\\5&22AA&0&3",
              kProblemNoDriver);
    AddDevice(devices, "COM4", L"USB Serial Port (COM4)", L"FTDIBUS\\VID_0403+PID_6001+A9X\\0000",
              kProblemDisabled);
    AddDevice(devices, "COM6", L"USB-SERIAL", L"usb\\vid_10c4&pid_ea60\\0001", 43);
    AddDevice(devices, "COM8", L"", L"USB\\VID_1234&PID_ABCD\\7", kProblemNoDriver);
    AddDevice(devices, "", L"Serial cable", L"USB\\VID_12&PID_0001\\8", 10);
    AddDevice(devices, "COM9", L"Standard Serial over Bluetooth link (COM9)",
              L"BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}_LOCALMFG&0000\\7&1234&0&0");
    ScratchUser user; // Windows lists COM1 and COM3; COM2 is mapped to COM9
    for (const char* port : {"COM4", "COM9"}) {
        AddSerialPort(port); // COM4's device has a problem
    }
    PortChoices choices;
    ListPortChoices(devices, choices);
    const std::wstring stopped = L"Its driver could not start it (code 10). The driver refuses "
                                 L"this adapter: use another cable.";
    const std::pair<std::wstring, LSTATUS> entries[] = {
        // each entry, and what its OK does
        {L"COM1 (no mapping)", ERROR_SUCCESS},
        {L"COM3", ERROR_SUCCESS},
        {L"COM9 (Standard Serial over Bluetooth link) - Bluetooth link, not searched",
         ERROR_SUCCESS},
        {L"COM4 - USB Serial Port (FTDI, USB 0403:6001)\nIt is disabled (code 22). Enable it in "
         L"Device Manager.",
         ERROR_NOT_READY},
        {L"COM6 - USB-SERIAL (Silicon Labs, USB 10C4:EA60)\nWindows reports problem code 43 for "
         L"it. Its properties in Device Manager say more.",
         ERROR_NOT_READY},
        {L"COM7 - PL2303HXA PHASED OUT SINCE 2012. PLEASE CONTACT YOUR SUPPLIER. (Prolific, USB "
         L"067B:2303)\n" +
             stopped,
         ERROR_NOT_READY},
        {L"COM8 - serial device (USB 1234:ABCD)\nNo driver is installed for it (code 28). "
         L"Install the driver from the maker of the adapter.",
         ERROR_NOT_READY},
        {L"No port - USB2.0-Serial (WCH, USB 1A86:7523)\nNo driver is installed for it (code "
         L"28). Install the WCH driver for it.",
         ERROR_NOT_READY},
        {L"No port - Serial cable\n" + stopped, ERROR_NOT_READY},
    };
    ASSERT_EQ(std::size(entries), choices.count) << Entries(choices);
    for (size_t i = 0; i < choices.count; ++i) {
        EXPECT_EQ(entries[i].first, choices.at[i].text) << i;
        SetPortMapping("COM1", "COM5");
        EXPECT_EQ(entries[i].second, StorePortChoice(choices, i)) << i;
        PortName mapped;
        const char* opens = entries[i].second     ? "COM5"
                            : *choices.at[i].port ? choices.at[i].port
                                                  : "COM1";
        EXPECT_STREQ(opens, MappedPort("COM1", mapped)) << i << ": stored only for a port";
    }
}

// Without its template (this test program has none) the dialog cannot be made: that is told,
// not taken for a closed dialog.
TEST(PortDialog, TellsWhyItCannotOpen) {
    EXPECT_EQ(DWORD{ERROR_RESOURCE_DATA_NOT_FOUND},
              RunPortDialog(GetModuleHandleW(nullptr), nullptr));
}

TEST(PortProgram, AsksForTheDisplayScaleThemedControlsTheShellFontAndHasHushwellsIcon) {
    const HMODULE program =
        LoadLibraryExA("Z:" PORT_PROGRAM_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const auto resource = [program](LPCSTR type, int id) {
        const HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(id), type);
        const HGLOBAL data = found ? LoadResource(program, found) : nullptr;
        return data ? std::string(static_cast<const char*>(LockResource(data)),
                                  SizeofResource(program, found))
                    : std::string();
    };
    const std::string manifest = resource(MAKEINTRESOURCEA(24), 1);
    EXPECT_NE(std::string::npos, manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/"
                                               "SMI/2005/WindowsSettings\">true</dpiAware>"));
    EXPECT_NE(std::string::npos, manifest.find("name=\"Microsoft.Windows.Common-Controls\" "
                                               "version=\"6.0.0.0\""));
    EXPECT_NE("", resource(RT_GROUP_ICON, IDI_PORT_PROGRAM));
    // DIALOGEX: version, signature, help id, extended style, style; the face is UTF-16.
    const std::string dialog = resource(RT_DIALOG, IDD_CHOOSE_PORT);
    ASSERT_GT(dialog.size(), 16u);
    EXPECT_EQ(DS_SHELLFONT, *reinterpret_cast<const DWORD*>(dialog.data() + 12) & DS_SHELLFONT);
    EXPECT_NE(std::string::npos,
              dialog.find(std::string("M\0S\0 \0S\0h\0e\0l\0l\0 \0D\0l\0g\0\0", 26)));
    FreeLibrary(program);
}

} // namespace

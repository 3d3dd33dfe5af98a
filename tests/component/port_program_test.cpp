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

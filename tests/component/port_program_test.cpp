// What hushwell-port.exe carries for Windows rather than for Wine, read from the linked file: its
// manifest asks for the display scale and Common Controls 6, it has Hushwell's icon, and the port
// dialog asks for the shell's dialog font. (Wine lays out, themes and scales dialogs its own way
// whatever they ask for; scripts/package checks the binaries' versions.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "component/radiolink_resource.h"

namespace {

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

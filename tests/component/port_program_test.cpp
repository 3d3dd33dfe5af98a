// What hushwell-port.exe carries for Windows rather than for Wine, read from the linked file: its
// manifest asks for the display scale and Common Controls 6, it has Hushwell's icon, and the port
// dialog asks for the shell's dialog font. (Wine lays out, themes and scales dialogs its own way
// whatever they ask for. The binaries' versions are checked by scripts/package, which refuses
// others than CMakeLists.txt's.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "component/radiolink_resource.h"

namespace {

struct DataFile {
    explicit DataFile(const char* path)
        : module(LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~DataFile() { FreeLibrary(module); }
    std::string Resource(LPCSTR type, LPCSTR name) const {
        const HRSRC found = FindResourceA(module, name, type);
        const HGLOBAL data = found ? LoadResource(module, found) : nullptr;
        return data ? std::string(static_cast<const char*>(LockResource(data)),
                                  SizeofResource(module, found))
                    : std::string();
    }
    const HMODULE module;
};

TEST(PortProgram, AsksForTheDisplayScaleThemedControlsTheShellFontAndHasHushwellsIcon) {
    const DataFile program("Z:" PORT_PROGRAM_EXE);
    const std::string manifest = program.Resource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
    EXPECT_NE(std::string::npos,
              manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/"
                            "WindowsSettings\">true</dpiAware>"));
    EXPECT_NE(std::string::npos, manifest.find("name=\"Microsoft.Windows.Common-Controls\" "
                                               "version=\"6.0.0.0\""));
    EXPECT_NE("", program.Resource(RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_PORT_PROGRAM)));
    // DIALOGEX: version 1, signature 0xFFFF, help id, extended style, style, ...
    const std::string dialog = program.Resource(RT_DIALOG, MAKEINTRESOURCEA(IDD_CHOOSE_PORT));
    ASSERT_GT(dialog.size(), 16u);
    DWORD style = 0;
    memcpy(&style, dialog.data() + 12, sizeof style);
    EXPECT_EQ(DWORD{DS_SHELLFONT}, style & DS_SHELLFONT);
    const std::wstring face = L"MS Shell Dlg";
    EXPECT_NE(std::string::npos,
              dialog.find(std::string(reinterpret_cast<const char*>(face.c_str()),
                                      (face.size() + 1) * sizeof(wchar_t))));
}

} // namespace

// The version block as Explorer's properties page shows it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<BYTE> OwnVersionInfo() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeA(path, &handle));
    if (block.empty() ||
        !GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data())) {
        block.clear();
    }
    return block;
}

TEST(VersionBlock, FixedPart) {
    std::vector<BYTE> block = OwnVersionInfo();
    ASSERT_FALSE(block.empty());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, 4u);
    EXPECT_EQ(fixed->dwFileType, 1u);
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
    EXPECT_EQ(fixed->dwFileDateMS, 0u);
    EXPECT_EQ(fixed->dwFileDateLS, 0u);
}

TEST(VersionBlock, StringsAndTranslation) {
    std::vector<BYTE> block = OwnVersionInfo();
    ASSERT_FALSE(block.empty());
    struct Entry {
        const char* name;
        const char* value; // null: not empty, chosen by us
    };
    for (const Entry& e :
         {Entry{"Comments", ""}, Entry{"CompanyName", nullptr},
          Entry{"FileDescription", "Hushwell MFC Application"}, Entry{"FileVersion", "1, 0, 0, 1"},
          Entry{"InternalName", "Hushwell"}, Entry{"LegalCopyright", nullptr},
          Entry{"LegalTrademarks", ""}, Entry{"OriginalFilename", "hushwell.exe"},
          Entry{"PrivateBuild", ""}, Entry{"ProductName", "Hushwell Application"},
          Entry{"ProductVersion", "1, 0, 0, 1"}, Entry{"SpecialBuild", ""}}) {
        const std::string query = std::string("\\StringFileInfo\\040904b0\\") + e.name;
        char* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(
            VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
            << e.name;
        const std::string text = length ? std::string(value) : std::string();
        if (e.value) {
            EXPECT_EQ(text, e.value) << e.name;
        } else {
            EXPECT_FALSE(text.empty()) << e.name;
        }
    }
    WORD* translation = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &size));
    ASSERT_EQ(size, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04B0);
}

} // namespace

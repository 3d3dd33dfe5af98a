// The program's resources as the dialog manager and the shell will find them: every template
// field, the string table, the icon and the version block.
#include "res/resource.h"
#include "tests/dialog/template_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Expected {
    uint32_t id;
    const char* className;
    const char* text;
    uint32_t style;
    uint32_t exStyle;
    int x, y, cx, cy;
};

void ExpectControls(const DialogTemplate& dialog, const std::vector<Expected>& expected) {
    ASSERT_EQ(dialog.controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const TemplateControl& c = dialog.controls[i];
        const Expected& e = expected[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1) + " (" + e.text + ")");
        EXPECT_EQ(c.id, e.id);
        EXPECT_EQ(c.className, e.className);
        EXPECT_EQ(c.text, e.text);
        EXPECT_EQ(c.style, e.style) << std::hex << c.style;
        EXPECT_EQ(c.exStyle, e.exStyle) << std::hex << c.exStyle;
        EXPECT_EQ(c.helpId, 0u);
        EXPECT_EQ((std::vector<int>{c.x, c.y, c.cx, c.cy}),
                  (std::vector<int>{e.x, e.y, e.cx, e.cy}));
    }
}

TEST(Resources, MainDialogTemplate) {
    bool found = false;
    const DialogTemplate dialog = ReadDialogTemplate(IDD_HUSHWELL_DIALOG, &found);
    ASSERT_TRUE(found);
    EXPECT_TRUE(dialog.extended);
    EXPECT_EQ(dialog.title, "Hushwell");
    EXPECT_EQ(dialog.style, 0x10CA00C0u) << std::hex << dialog.style;
    EXPECT_EQ(dialog.exStyle, 0x00040200u) << std::hex << dialog.exStyle;
    EXPECT_EQ((std::vector<int>{dialog.x, dialog.y, dialog.cx, dialog.cy}),
              (std::vector<int>{0, 0, 155, 198}));
    EXPECT_EQ(dialog.menu, "");
    EXPECT_EQ(dialog.windowClass, "");
    EXPECT_EQ(dialog.helpId, 0u);
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.typeface, "MS Sans Serif");
    EXPECT_EQ(dialog.weight, 0);
    EXPECT_FALSE(dialog.italic);
    EXPECT_EQ(dialog.charset, 1);
    ExpectControls(dialog, {
                               {1001, "BUTTON", "Read", 0x50010001, 0, 19, 48, 45, 14},
                               {1002, "BUTTON", "Write", 0x50010000, 0, 77, 48, 45, 14},
                               {1003, "BUTTON", "Reset Radio", 0x50000000, 0, 19, 82, 50, 14},
                               {1005, "EDIT", "", 0x50810080, 0x1000, 71, 28, 40, 14},
                               {1007, "MSCTLS_UPDOWN32", "Spin1", 0x50000036, 0, 111, 28, 11, 14},
                               {1006, "STATIC", "Squelch Value", 0x50020000, 0, 19, 34, 47, 8},
                               {1020, "BUTTON", "Default", 0x50010000, 0, 92, 82, 30, 14},
                           });
}

TEST(Resources, AboutBoxTemplate) {
    bool found = false;
    const DialogTemplate dialog = ReadDialogTemplate(IDD_ABOUTBOX, &found);
    ASSERT_TRUE(found);
    EXPECT_FALSE(dialog.extended);
    EXPECT_EQ(dialog.title, "About Hushwell");
    EXPECT_EQ(dialog.style, 0x80C800C0u) << std::hex << dialog.style;
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ((std::vector<int>{dialog.x, dialog.y, dialog.cx, dialog.cy}),
              (std::vector<int>{0, 0, 235, 65}));
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.typeface, "MS Sans Serif");
    ASSERT_EQ(dialog.controls.size(), 5u);
    const std::string copyright = dialog.controls[2].text;
    const std::string credit = dialog.controls[4].text;
    EXPECT_FALSE(copyright.empty());
    EXPECT_FALSE(credit.empty());
    ExpectControls(dialog,
                   {
                       {0xFFFF, "STATIC", "#128", 0x50000003, 0, 11, 17, 21, 20},
                       {0xFFFF, "STATIC", "Hushwell Version 1.0", 0x50020080, 0, 40, 10, 119, 8},
                       {0xFFFF, "STATIC", copyright.c_str(), 0x50020000, 0, 40, 26, 119, 8},
                       {1, "BUTTON", "OK", 0x50030001, 0, 178, 7, 50, 14},
                       {1004, "STATIC", credit.c_str(), 0x50020000, 0, 40, 42, 184, 8},
                   });
}

TEST(Resources, HelpDialogTemplate) {
    bool found = false;
    const DialogTemplate dialog = ReadDialogTemplate(IDD_HELP, &found);
    ASSERT_TRUE(found);
    EXPECT_FALSE(dialog.extended);
    EXPECT_EQ(dialog.title, "Hushwell Help");
    EXPECT_EQ(dialog.style, 0x80C800C0u) << std::hex << dialog.style;
    EXPECT_EQ((std::vector<int>{dialog.x, dialog.y, dialog.cx, dialog.cy}),
              (std::vector<int>{0, 0, 315, 159}));
    constexpr uint32_t text = 0x50020000;
    ExpectControls(
        dialog,
        {
            {1, "BUTTON", "Close", 0x50010001, 0, 258, 7, 50, 14},
            {1011, "STATIC",
             "This applet is used to adjust the Squelch setting on Vexa Tidemark Radios.", text, 0,
             13, 27, 237, 8},
            {1012, "STATIC", "Operation is very straightforward:", text, 0, 13, 38, 104, 8},
            {1013, "STATIC",
             "1) Read the current value from the radio (this places the radio in test mode).", text,
             0, 57, 49, 237, 8},
            {1014, "STATIC", "2) Adjust the value to the desired setting in the range 0 - 15.",
             text, 0, 57, 60, 188, 8},
            {1015, "STATIC", "3) Write the desired value back to the radio.", text, 0, 57, 71, 139,
             8},
            {1016, "STATIC", "4)  Reset the radio to exit test mode.", text, 0, 57, 82, 114, 8},
            {1017, "STATIC", "You must read from the radio before you can write back to it.", text,
             0, 13, 93, 190, 8},
            {0xFFFF, "STATIC", "#128", 0x50000003, 0, 7, 7, 20, 20},
            {1021, "STATIC", "Use the \"Reset Radio\" button to exit test mode.", text, 0, 13, 107,
             151, 8},
            {1022, "STATIC",
             "The \"Default\" button may be used to set the display to the factory squelch "
             "value (8).  You",
             text, 0, 13, 121, 282, 8},
            {1023, "STATIC", "must press \"Write\" to save this value to the radio.", text, 0, 13,
             130, 156, 8},
        });
}

BOOL CALLBACK CollectResourceId(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids) {
    reinterpret_cast<std::vector<UINT>*>(ids)->push_back(
        static_cast<UINT>(reinterpret_cast<UINT_PTR>(name)));
    return TRUE;
}

TEST(Resources, StringTableHoldsTheTwoMenuTextsAndNoTitle) {
    char text[256];
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, text, sizeof text), 0);
    EXPECT_STREQ(text, "&About Hushwell...");
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), IDS_HELPBOX, text, sizeof text), 0);
    EXPECT_STREQ(text, "&Help for Hushwell");

    // Strings live in blocks of 16; the only block is the one of ids 96 to 111.
    std::vector<UINT> blocks;
    EnumResourceNamesA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(6) /* RT_STRING */,
                       &CollectResourceId, reinterpret_cast<LONG_PTR>(&blocks));
    EXPECT_EQ(blocks, std::vector<UINT>{7});
    for (UINT id = 96; id < 112; ++id) {
        if (id != IDS_ABOUTBOX && id != IDS_HELPBOX) {
            EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text), 0) << id;
        }
    }
}

TEST(Resources, IconIsOne16x16TrueColourImage) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(IDR_MAINFRAME),
                                MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    ASSERT_NE(group, nullptr);
    const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    ASSERT_EQ(SizeofResource(module, group), 6u + 14u);
    EXPECT_EQ(dir[4] | (dir[5] << 8), 1) << "one image";
    const BYTE* entry = dir + 6;
    EXPECT_EQ(entry[0], 16);                   // width
    EXPECT_EQ(entry[1], 16);                   // height
    EXPECT_EQ(entry[2], 0);                    // colour count
    EXPECT_EQ(entry[4] | (entry[5] << 8), 1);  // planes
    EXPECT_EQ(entry[6] | (entry[7] << 8), 24); // bits per pixel
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(entry + 8), 872u);
    const int imageId = entry[12] | (entry[13] << 8);
    HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(imageId), MAKEINTRESOURCEA(3));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(SizeofResource(module, image), 872u);
}

} // namespace

// The dialog templates as linked: windres silently adds or drops styles, so each template's
// style, rectangle and controls (id, style, extended style, rectangle) are compared with the
// values the dialogs are designed with.
#include "res/resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// Reads DIALOG and DIALOGEX templates field by field.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* at) : m_at(at) {}
    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    // A string or an ordinal (0xFFFF, then the ordinal): either way it is passed over.
    void SkipNameOrOrdinal() {
        WORD unit = Word();
        if (unit == 0xFFFF) {
            Word();
            return;
        }
        while (unit != 0) {
            unit = Word();
        }
    }
    void AlignDword() {
        m_at = reinterpret_cast<const BYTE*>((reinterpret_cast<UINT_PTR>(m_at) + 3) & ~UINT_PTR{3});
    }

private:
    template <class T>
    T Take() {
        T value;
        memcpy(&value, m_at, sizeof value);
        m_at += sizeof value;
        return value;
    }
    const BYTE* m_at;
};

std::string Rect(TemplateReader& r) {
    const short x = static_cast<short>(r.Word()), y = static_cast<short>(r.Word());
    const short cx = static_cast<short>(r.Word()), cy = static_cast<short>(r.Word());
    return std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(cx) + "x" +
           std::to_string(cy);
}

std::string Hex(DWORD value) {
    char text[16];
    snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(value));
    return text;
}

// "style exstyle rect" for the dialog, then "id style exstyle rect" for each control.
std::string Describe(UINT id) {
    const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    if (!found) {
        return "missing";
    }
    TemplateReader r(static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found))));
    const bool extended = r.Word() == 1 && r.Word() == 0xFFFF;
    if (!extended) {
        r = TemplateReader(static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found))));
    } else {
        r.Dword(); // help id
    }
    DWORD style = r.Dword(), exStyle = r.Dword();
    if (extended) {
        std::swap(style, exStyle);
    }
    const WORD controls = r.Word();
    std::string text = Hex(style) + " " + Hex(exStyle) + " " + Rect(r) + "\n";
    r.SkipNameOrOrdinal(); // menu
    r.SkipNameOrOrdinal(); // class
    r.SkipNameOrOrdinal(); // title
    if (style & DS_SETFONT) {
        r.Word();
        if (extended) {
            r.Dword();
        }
        r.SkipNameOrOrdinal();
    }
    for (WORD i = 0; i < controls; ++i) {
        r.AlignDword();
        DWORD itemStyle, itemEx;
        if (extended) {
            r.Dword();
            itemEx = r.Dword();
            itemStyle = r.Dword();
        } else {
            itemStyle = r.Dword();
            itemEx = r.Dword();
        }
        const std::string rect = Rect(r);
        const int itemId = extended ? static_cast<int>(r.Dword()) : static_cast<short>(r.Word());
        text +=
            std::to_string(itemId) + " " + Hex(itemStyle) + " " + Hex(itemEx) + " " + rect + "\n";
        r.SkipNameOrOrdinal(); // class
        r.SkipNameOrOrdinal(); // text
        const WORD extra = r.Word();
        for (WORD b = 0; b < (extra + 1) / 2; ++b) {
            r.Word();
        }
    }
    return text;
}

TEST(Resources, DialogTemplatesAsDesigned) {
    EXPECT_EQ(Describe(IDD_HUSHWELL_DIALOG), "10CA00C0 00040200 0,0 155x198\n"
                                             "1001 50010001 00000000 19,48 45x14\n"
                                             "1002 50010000 00000000 77,48 45x14\n"
                                             "1003 50000000 00000000 19,82 50x14\n"
                                             "1005 50810080 00001000 71,28 40x14\n"
                                             "1007 50000036 00000000 111,28 11x14\n"
                                             "1006 50020000 00000000 19,34 47x8\n"
                                             "1020 50010000 00000000 92,82 30x14\n");
    EXPECT_EQ(Describe(IDD_ABOUTBOX), "80C800C0 00000000 0,0 235x65\n"
                                      "-1 50000003 00000000 11,17 21x20\n"
                                      "-1 50020080 00000000 40,10 119x8\n"
                                      "-1 50020000 00000000 40,26 119x8\n"
                                      "1 50030001 00000000 178,7 50x14\n"
                                      "1004 50020000 00000000 40,42 184x8\n");
    EXPECT_EQ(Describe(IDD_HELP), "80C800C0 00000000 0,0 315x159\n"
                                  "1 50010001 00000000 258,7 50x14\n"
                                  "1011 50020000 00000000 13,27 237x8\n"
                                  "1012 50020000 00000000 13,38 104x8\n"
                                  "1013 50020000 00000000 57,49 237x8\n"
                                  "1014 50020000 00000000 57,60 188x8\n"
                                  "1015 50020000 00000000 57,71 139x8\n"
                                  "1016 50020000 00000000 57,82 114x8\n"
                                  "1017 50020000 00000000 13,93 190x8\n"
                                  "-1 50000003 00000000 7,7 20x20\n"
                                  "1021 50020000 00000000 13,107 151x8\n"
                                  "1022 50020000 00000000 13,121 282x8\n"
                                  "1023 50020000 00000000 13,130 156x8\n");
}

} // namespace

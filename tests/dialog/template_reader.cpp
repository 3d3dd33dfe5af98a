#include "tests/dialog/template_reader.h"

#include <algorithm>
#include <cctype>

namespace {

class Cursor {
public:
    Cursor(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    uint16_t Word() {
        uint16_t value = 0;
        if (m_at + 2 <= m_size) {
            value = static_cast<uint16_t>(m_data[m_at] | (m_data[m_at + 1] << 8));
        }
        m_at += 2;
        return value;
    }
    uint32_t Dword() {
        const uint32_t low = Word();
        return low | (static_cast<uint32_t>(Word()) << 16);
    }
    int Short() { return static_cast<int16_t>(Word()); }
    uint8_t Byte() { return m_at < m_size ? m_data[m_at++] : (m_at++, 0); }
    // A UTF-16 string, narrowed (the templates hold ASCII only).
    std::string String() {
        std::string text;
        for (uint16_t c = Word(); c != 0 && m_at <= m_size; c = Word()) {
            text += c < 0x80 ? static_cast<char>(c) : '?';
        }
        return text;
    }
    // A name or an ordinal: "" (none), "#n" (ordinal) or the name.
    std::string NameOrOrdinal() {
        const size_t start = m_at;
        const uint16_t first = Word();
        if (first == 0) {
            return "";
        }
        if (first == 0xFFFF) {
            return "#" + std::to_string(Word());
        }
        m_at = start;
        return String();
    }
    void AlignDword() { m_at = (m_at + 3) & ~size_t{3}; }
    void Skip(size_t n) { m_at += n; }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_at = 0;
};

std::string ClassName(const std::string& raw) {
    if (raw == "#128")
        return "BUTTON";
    if (raw == "#129")
        return "EDIT";
    if (raw == "#130")
        return "STATIC";
    std::string upper = raw;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

} // namespace

DialogTemplate ReadDialogTemplate(UINT id, bool* found) {
    DialogTemplate dialog{};
    *found = false;
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
    const auto* data = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    if (!data) {
        return dialog;
    }
    *found = true;
    Cursor in(data, SizeofResource(module, info));

    const uint16_t first = in.Word();
    const uint16_t signature = in.Word();
    dialog.extended = first == 1 && signature == 0xFFFF;
    int count = 0;
    if (dialog.extended) {
        dialog.helpId = in.Dword();
        dialog.exStyle = in.Dword();
        dialog.style = in.Dword();
    } else {
        dialog.style = first | (static_cast<uint32_t>(signature) << 16);
        dialog.exStyle = in.Dword();
    }
    count = in.Word();
    dialog.x = in.Short();
    dialog.y = in.Short();
    dialog.cx = in.Short();
    dialog.cy = in.Short();
    dialog.menu = in.NameOrOrdinal();
    dialog.windowClass = in.NameOrOrdinal();
    dialog.title = in.String();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = in.Word();
        if (dialog.extended) {
            dialog.weight = in.Word();
            dialog.italic = in.Byte() != 0;
            dialog.charset = in.Byte();
        }
        dialog.typeface = in.String();
    }

    for (int i = 0; i < count; ++i) {
        in.AlignDword();
        TemplateControl control{};
        if (dialog.extended) {
            control.helpId = in.Dword();
            control.exStyle = in.Dword();
            control.style = in.Dword();
        } else {
            control.style = in.Dword();
            control.exStyle = in.Dword();
        }
        control.x = in.Short();
        control.y = in.Short();
        control.cx = in.Short();
        control.cy = in.Short();
        control.id = dialog.extended ? in.Dword() : in.Word();
        control.className = ClassName(in.NameOrOrdinal());
        control.text = in.NameOrOrdinal();
        in.Skip(in.Word()); // creation data
        dialog.controls.push_back(control);
    }
    return dialog;
}

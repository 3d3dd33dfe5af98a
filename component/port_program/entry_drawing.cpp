#include "component/port_program/entry_drawing.h"

#include <memory>
#include <new>

namespace radiolink {

namespace {

// Room around an entry's text, in pixels.
constexpr int kPadX = 3;
constexpr int kPadY = 3;
// A list box item is at most 255 pixels high.
constexpr int kMaxItemHeight = 255;
constexpr UINT kTextFormat = DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL;

// Selects the list's font into a DC for as long as it lives.
class FontSelected {
public:
    FontSelected(HDC dc, HWND list)
        : m_dc(dc),
          m_old(SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)))) {}
    FontSelected(const FontSelected&) = delete;
    FontSelected& operator=(const FontSelected&) = delete;
    ~FontSelected() { SelectObject(m_dc, m_old); }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// A window's DC, released with it.
class WindowDc {
public:
    explicit WindowDc(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (m_dc) {
            ReleaseDC(m_window, m_dc);
        }
    }
    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

} // namespace

void MeasureEntry(HWND list, MEASUREITEMSTRUCT& measure) {
    const auto* text = reinterpret_cast<const wchar_t*>(measure.itemData);
    RECT client = {};
    GetClientRect(list, &client);
    RECT bounds = {0, 0, client.right - 2 * kPadX, 0};
    const WindowDc dc(list);
    int height = 0;
    if (dc.Get() && text) {
        FontSelected font(dc.Get(), list);
        height = DrawTextW(dc.Get(), text, -1, &bounds, kTextFormat | DT_CALCRECT);
    }
    measure.itemHeight = static_cast<UINT>(
        height > 0 ? (height + 2 * kPadY < kMaxItemHeight ? height + 2 * kPadY : kMaxItemHeight)
                   : 16);
}

void DrawEntry(const DRAWITEMSTRUCT& draw) {
    if (draw.itemID == static_cast<UINT>(-1)) {
        return; // an empty list: nothing but the focus, which the list draws
    }
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    FillRect(draw.hDC, &draw.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const LRESULT length = SendMessageW(draw.hwndItem, LB_GETTEXTLEN, draw.itemID, 0);
    const std::unique_ptr<wchar_t[]> text(length >= 0 ? new (std::nothrow) wchar_t[length + 1]
                                                      : nullptr);
    if (text && SendMessageW(draw.hwndItem, LB_GETTEXT, draw.itemID,
                             reinterpret_cast<LPARAM>(text.get())) >= 0) {
        FontSelected font(draw.hDC, draw.hwndItem);
        SetBkMode(draw.hDC, TRANSPARENT);
        SetTextColor(draw.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT bounds = draw.rcItem;
        InflateRect(&bounds, -kPadX, -kPadY);
        DrawTextW(draw.hDC, text.get(), -1, &bounds, kTextFormat);
    }
    RECT line = draw.rcItem; // under the entry, between one entry and the next
    line.top = line.bottom - 1;
    FillRect(draw.hDC, &line, GetSysColorBrush(COLOR_BTNFACE));
    if (draw.itemState & ODS_FOCUS) {
        DrawFocusRect(draw.hDC, &draw.rcItem);
    }
}

} // namespace radiolink

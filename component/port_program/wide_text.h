// Wide text added piece by piece to a fixed buffer, cut at its end: the port dialog's entries
// (port_choices.h) and what Find radio says of them (find_radio.h).
#pragma once

#include <cstddef>

namespace radiolink {

class WideText {
public:
    template <size_t N>
    explicit WideText(wchar_t (&buffer)[N]) : m_at(buffer), m_end(buffer + N - 1) {
        *m_at = L'\0';
    }
    // At most `most` characters of `text`.
    WideText& Add(const wchar_t* text, size_t most = static_cast<size_t>(-1)) {
        for (; *text && most > 0 && m_at < m_end; --most) {
            *m_at++ = *text++;
        }
        *m_at = L'\0';
        return *this;
    }
    // A port name (ASCII).
    WideText& AddPort(const char* port) {
        for (; *port && m_at < m_end; ++port) {
            *m_at++ = static_cast<wchar_t>(*port);
        }
        *m_at = L'\0';
        return *this;
    }

private:
    wchar_t* m_at;
    wchar_t* const m_end;
};

} // namespace radiolink

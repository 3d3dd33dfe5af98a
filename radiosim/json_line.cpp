#include "radiosim/json_line.h"

#include <cstdio>

namespace radiosim {

void JsonLine::Key(const char* key) {
    m_body += m_body.empty() ? "{\"" : ",\"";
    m_body += key;
    m_body += "\":";
}

JsonLine& JsonLine::Number(const char* key, uint64_t value) {
    Key(key);
    m_body += std::to_string(value);
    return *this;
}

JsonLine& JsonLine::Seconds(const char* key, double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    Key(key);
    m_body += text;
    return *this;
}

JsonLine& JsonLine::Text(const char* key, const std::string& value) {
    Key(key);
    m_body += '"';
    for (unsigned char c : value) {
        if (c == '"' || c == '\\') {
            m_body += '\\';
            m_body += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            m_body += escaped;
        } else {
            m_body += static_cast<char>(c);
        }
    }
    m_body += '"';
    return *this;
}

JsonLine& JsonLine::Bool(const char* key, bool value) {
    Key(key);
    m_body += value ? "true" : "false";
    return *this;
}

JsonLine& JsonLine::Hex(const char* key, const uint8_t* bytes, size_t count) {
    static const char kDigits[] = "0123456789abcdef";
    Key(key);
    m_body += '"';
    for (size_t i = 0; i < count; ++i) {
        m_body += kDigits[bytes[i] >> 4];
        m_body += kDigits[bytes[i] & 0x0F];
    }
    m_body += '"';
    return *this;
}

} // namespace radiosim

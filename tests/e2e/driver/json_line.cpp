#include "tests/e2e/driver/json_line.h"

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string JsonStringArray(const std::vector<std::string>& texts) {
    std::string out = "[";
    for (size_t i = 0; i < texts.size(); ++i) {
        out += (i == 0 ? "" : ",") + JsonString(texts[i]);
    }
    return out + "]";
}

void JsonLine::Key(const char* key) {
    m_body += m_body.empty() ? "{" : ",";
    m_body += JsonString(key) + ":";
}

JsonLine& JsonLine::Text(const char* key, const std::string& value) {
    Key(key);
    m_body += JsonString(value);
    return *this;
}

JsonLine& JsonLine::Number(const char* key, long long value) {
    Key(key);
    m_body += std::to_string(value);
    return *this;
}

JsonLine& JsonLine::Bool(const char* key, bool value) {
    Key(key);
    m_body += value ? "true" : "false";
    return *this;
}

JsonLine& JsonLine::Raw(const char* key, const std::string& json) {
    Key(key);
    m_body += json;
    return *this;
}

void Emit(FILE* out, const JsonLine& line) {
    const std::string text = line.Finish() + "\n";
    std::fwrite(text.data(), 1, text.size(), out);
    std::fflush(out);
}

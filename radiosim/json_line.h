// One JSON object on one line, built field by field in the order added.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace radiosim {

class JsonLine {
public:
    JsonLine& Number(const char* key, uint64_t value);
    JsonLine& Seconds(const char* key, double value); // six decimals
    JsonLine& Text(const char* key, const std::string& value);
    JsonLine& Bool(const char* key, bool value);
    JsonLine& Hex(const char* key, const uint8_t* bytes, size_t count); // "0a1b..."

    // The object with its closing brace and a newline.
    std::string Finish() const { return (m_body.empty() ? "{" : m_body) + "}\n"; }

private:
    void Key(const char* key);
    std::string m_body;
};

} // namespace radiosim

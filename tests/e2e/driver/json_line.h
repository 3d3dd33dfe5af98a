// One observation of the driver: a JSON object written as a single line on the output.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class JsonLine {
public:
    JsonLine& Text(const char* key, const std::string& value);
    JsonLine& Number(const char* key, long long value);
    JsonLine& Bool(const char* key, bool value);
    // `json` is already a JSON value (an array or object built elsewhere).
    JsonLine& Raw(const char* key, const std::string& json);
    std::string Finish() const { return m_body.empty() ? "{}" : m_body + "}"; }

private:
    void Key(const char* key);
    std::string m_body;
};

std::string JsonString(const std::string& text);
std::string JsonStringArray(const std::vector<std::string>& texts);

// Writes the line and flushes it, so a reader sees each step as soon as it is over.
void Emit(FILE* out, const JsonLine& line);

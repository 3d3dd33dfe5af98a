#include "radiosim/number_text.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace radiosim {

bool ParseUnsigned64(const std::string& text, uint64_t& value) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) {
        return false;
    }
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    errno = 0;
    char* end = nullptr;
    const unsigned long long parsed = std::strtoull(text.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0') {
        return false;
    }
    value = parsed;
    return true;
}

bool ParseUnsigned(const std::string& text, uint32_t& value) {
    uint64_t wide = 0;
    if (!ParseUnsigned64(text, wide) || wide > UINT32_MAX) {
        return false;
    }
    value = static_cast<uint32_t>(wide);
    return true;
}

bool ParseProbability(const std::string& text, double& value) {
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.')) {
        return false;
    }
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(parsed) || parsed < 0 || parsed > 1) {
        return false;
    }
    value = parsed;
    return true;
}

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>& bytes) {
    if (text.size() % 2 != 0) {
        return false;
    }
    std::vector<uint8_t> parsed;
    for (size_t i = 0; i < text.size(); i += 2) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 1]))) {
            return false;
        }
        parsed.push_back(static_cast<uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    }
    bytes = std::move(parsed);
    return true;
}

} // namespace radiosim

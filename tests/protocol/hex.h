// Bytes written as a person reads them in a dump: Hex("03 02 05 ...").
#pragma once
#include <cstdint>
#include <sstream>
#include <vector>
using Bytes = std::vector<uint8_t>;
inline Bytes Hex(const char* text) {
    Bytes bytes;
    std::istringstream in(text);
    for (unsigned byte = 0; in >> std::hex >> byte;) {
        bytes.push_back(static_cast<uint8_t>(byte));
    }
    return bytes;
}

// Strict parsing of the numbers that options and control commands carry: the whole text
// must be the number, or the parse fails.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace radiosim {

// Decimal, or hexadecimal with a 0x prefix.
bool ParseUnsigned(const std::string& text, uint32_t& value);
bool ParseUnsigned64(const std::string& text, uint64_t& value);
// A number from 0 to 1.
bool ParseProbability(const std::string& text, double& value);
// An even number of hex digits.
bool ParseHexBytes(const std::string& text, std::vector<uint8_t>& bytes);

} // namespace radiosim

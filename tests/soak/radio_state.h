// The simulated radio's memory as it saves it after every accepted write, and what the soak
// checks in it: both checksums, and the squelch value held in the record and in the vector.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RadioState {
    bool loaded = false;
    uint32_t recordAddress = 0;
    uint32_t vectorAddress = 0;
    bool recordChecksumOk = false;
    bool vectorChecksumOk = false;
    uint32_t recordValue = 0; // record byte 22, bits 0-3
    uint32_t vectorValue = 0; // vector byte 7, bits 4-7

    // Both blocks whole and telling the same value.
    bool Consistent() const {
        return loaded && recordChecksumOk && vectorChecksumOk && recordValue == vectorValue;
    }
};

// Follows the pointers of a 65,536-byte memory image from the root block.
RadioState InspectMemory(const std::vector<uint8_t>& memory);
// Reads the saved memory file (a Windows path); an empty vector when it cannot.
std::vector<uint8_t> ReadMemoryFile(const std::string& path);

// A TransferBuffer over its own 64-byte area, for the tests. The area starts filled with a
// sentinel so that any byte the component writes (or fails to write) shows.
#pragma once

#include <algorithm>
#include <array>
#include <initializer_list>
#include <cstdint>

#include "radio/radio_link.h"

constexpr BYTE kSentinelByte = 0xCC;
constexpr int32_t kSentinelCount = -1;

class TestBuffer {
public:
    TestBuffer() { bytes.fill(kSentinelByte); }
    TestBuffer(const TestBuffer&) = delete;
    TestBuffer& operator=(const TestBuffer&) = delete;

    TransferBuffer* Get() { return &buffer; }

    // Sets count and the first bytes.
    TestBuffer& Fill(std::initializer_list<BYTE> content) {
        std::copy(content.begin(), content.end(), bytes.begin());
        buffer.count = static_cast<int32_t>(content.size());
        return *this;
    }
    bool Untouched() const {
        for (BYTE b : bytes) {
            if (b != kSentinelByte) {
                return false;
            }
        }
        return buffer.count == kSentinelCount;
    }

    std::array<BYTE, 64> bytes;
    TransferBuffer buffer{kSentinelCount, 64, bytes.data()};
};

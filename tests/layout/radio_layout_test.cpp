// What the read and write tables cannot reach of the layout arithmetic: record checksums for
// lengths no write accepts, the sum below 55h included.
#include "radio/radio_layout.h"

#include <gtest/gtest.h>

using namespace radio; // the test reads as the program's own code

namespace {

TEST(Layout, RecordChecksumForEveryLength) {
    // Byte 1 is 33h and every other byte 01: the checksum shows how many body bytes it covered.
    const std::pair<uint8_t, std::optional<uint8_t>> rows[] = {
        {0, 0xDE}, {1, 0xDF}, {59, 0x19}, {60, std::nullopt}, {255, std::nullopt}};
    for (const auto& [n, expected] : rows) {
        RadioImage image{};
        for (uint32_t& entry : image.recordImage) {
            entry = 0x01;
        }
        image.recordImage[0] = n;
        image.recordImage[1] = 0x33;
        EXPECT_EQ(RecordChecksum(image), expected) << "N = " << int{n};
    }
}

} // namespace

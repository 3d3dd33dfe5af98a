#include "protocol/crc32.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const uint8_t* Bytes(const char* text) {
    return reinterpret_cast<const uint8_t*>(text);
}

TEST(Crc32, MatchesTheStandardCheckValue) {
    EXPECT_EQ(0xCBF43926u, proto::Crc32(Bytes("123456789"), 9));
}

TEST(Crc32, OfNothingIsZero) {
    EXPECT_EQ(0u, proto::Crc32(nullptr, 0));
}

TEST(Crc32, KnownValues) {
    struct Case {
        const char* text;
        uint32_t crc;
    };
    const Case cases[] = {
        {"a", 0xE8B7BE43u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.crc, proto::Crc32(Bytes(c.text), std::strlen(c.text))) << c.text;
    }
    const uint8_t zeros[4] = {};
    EXPECT_EQ(0x2144DF1Cu, proto::Crc32(zeros, sizeof zeros));
}

TEST(Crc32, ChainsOverPieces) {
    const uint8_t* text = Bytes("123456789");
    for (size_t split = 0; split <= 9; ++split) {
        const uint32_t head = proto::Crc32(text, split);
        EXPECT_EQ(0xCBF43926u, proto::Crc32(text + split, 9 - split, head)) << split;
    }
}

} // namespace

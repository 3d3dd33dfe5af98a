#include "protocol/cobs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Encode(const Bytes& raw) {
    Bytes out(proto::CobsEncodedMax(raw.size()));
    const size_t size = proto::CobsEncode(raw.data(), raw.size(), out.data(), out.size());
    out.resize(size);
    return out;
}

// Decodes into a buffer of exactly `capacity` bytes; an empty result is a failure.
bool Decode(const Bytes& encoded, size_t capacity, Bytes& raw) {
    raw.assign(capacity, 0xEE);
    const size_t size = proto::CobsDecode(encoded.data(), encoded.size(), raw.data(), capacity);
    raw.resize(size);
    return size > 0;
}

// `count` non-zero bytes: the n-th (from 1) of the endless run 1, 2, ..., 255, 1, 2, ...
Bytes NonZeroRun(size_t first, size_t count) {
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<uint8_t>((first + i - 1) % 255 + 1); // 1..255, never 0
    }
    return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

struct CobsCase {
    const char* name;
    Bytes raw;
    Bytes encoded;
};

std::vector<CobsCase> Cases() {
    return {
        {"one zero", {0x00}, {0x01, 0x01}},
        {"two zeros", {0x00, 0x00}, {0x01, 0x01, 0x01}},
        {"zero inside", {0x11, 0x22, 0x00, 0x33}, {0x03, 0x11, 0x22, 0x02, 0x33}},
        {"no zero", {0x11, 0x22, 0x33, 0x44}, {0x05, 0x11, 0x22, 0x33, 0x44}},
        {"zeros at both ends", {0x00, 0x11, 0x00}, {0x01, 0x02, 0x11, 0x01}},
        {"trailing zeros", {0x11, 0x00, 0x00, 0x00}, {0x02, 0x11, 0x01, 0x01, 0x01}},
        {"254 non-zero bytes", NonZeroRun(1, 254), Join({{0xFF}, NonZeroRun(1, 254)})},
        {"255 non-zero bytes", NonZeroRun(1, 255),
         Join({{0xFF}, NonZeroRun(1, 254), {0x02, 0xFF}})},
        {"zero then 254 non-zero", Join({{0x00}, NonZeroRun(1, 254)}),
         Join({{0x01, 0xFF}, NonZeroRun(1, 254)})},
        {"254 non-zero then zero", Join({NonZeroRun(2, 254), {0x00}}),
         Join({{0xFF}, NonZeroRun(2, 254), {0x01, 0x01}})},
        {"253 non-zero then zero", Join({NonZeroRun(3, 253), {0x00}}),
         Join({{0xFE}, NonZeroRun(3, 253), {0x01}})},
        {"509 non-zero bytes", NonZeroRun(1, 509),
         Join({{0xFF},
               NonZeroRun(1, 254),
               {0xFF},
               NonZeroRun(255, 254),
               {0x02},
               NonZeroRun(509, 1)})},
    };
}

TEST(Cobs, EncodesAndDecodesTheTableCases) {
    for (const CobsCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        const Bytes encoded = Encode(c.raw);
        EXPECT_EQ(c.encoded, encoded);
        EXPECT_TRUE(std::find(encoded.begin(), encoded.end(), 0) == encoded.end());
        EXPECT_LE(encoded.size(), proto::CobsEncodedMax(c.raw.size()));

        Bytes decoded;
        ASSERT_TRUE(Decode(c.encoded, c.raw.size(), decoded));
        EXPECT_EQ(c.raw, decoded);
    }
}

TEST(Cobs, RoundTripsEveryLengthUpTo600WithZerosAnywhere) {
    for (size_t size = 1; size <= 600; ++size) {
        Bytes raw(size);
        for (size_t i = 0; i < size; ++i) {
            // A zero every 7th and every 300th byte, otherwise a rolling non-zero value.
            raw[i] = (i % 7 == 3 || i % 300 == 299) ? 0 : static_cast<uint8_t>(i % 255 + 1);
        }
        Bytes decoded;
        ASSERT_TRUE(Decode(Encode(raw), size, decoded)) << size;
        EXPECT_EQ(raw, decoded) << size;
    }
}

TEST(Cobs, EncodingOfNothingIsOneCodeByte) {
    EXPECT_EQ(Bytes({0x01}), Encode({}));
}

TEST(Cobs, EncodeRefusesAnOutputBufferBelowTheBound) {
    const Bytes raw = NonZeroRun(1, 10);
    Bytes out(proto::CobsEncodedMax(raw.size()) - 1);
    EXPECT_EQ(0u, proto::CobsEncode(raw.data(), raw.size(), out.data(), out.size()));
}

TEST(Cobs, DecodeRejectsMalformedInput) {
    struct Bad {
        const char* name;
        Bytes encoded;
    };
    const Bad cases[] = {
        {"zero code byte", {0x00, 0x11}},
        {"zero inside a block", {0x03, 0x11, 0x00}},
        {"code runs past the end", {0x05, 0x11, 0x22}},
        {"second code runs past the end", {0x02, 0x11, 0x04, 0x22}},
        {"full block cut short", Join({{0xFF}, NonZeroRun(1, 253)})},
    };
    for (const Bad& c : cases) {
        Bytes decoded;
        EXPECT_FALSE(Decode(c.encoded, 1000, decoded)) << c.name;
    }
}

TEST(Cobs, DecodeRefusesAnOutputBufferTooSmall) {
    const Bytes raw = {0x11, 0x00, 0x22, 0x33};
    const Bytes encoded = Encode(raw);
    Bytes decoded;
    EXPECT_FALSE(Decode(encoded, raw.size() - 1, decoded));
    EXPECT_TRUE(Decode(encoded, raw.size(), decoded));
    EXPECT_EQ(raw, decoded);
}

} // namespace

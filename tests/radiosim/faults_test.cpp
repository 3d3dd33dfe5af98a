#include "radiosim/faults.h"

#include <gtest/gtest.h>

#include <bitset>
#include <vector>

namespace {

using radiosim::FaultInjector;
using Bytes = std::vector<uint8_t>;

Bytes Sample(size_t count) {
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + 1);
    }
    return bytes;
}

TEST(Faults, NoneConfiguredLeavesRepliesAlone) {
    FaultInjector faults(1);
    const Bytes bytes = Sample(100);
    const radiosim::FaultedReply reply = faults.Outgoing(bytes.data(), bytes.size());
    EXPECT_EQ(bytes, reply.bytes);
    EXPECT_EQ(0u, reply.holdMs);
    EXPECT_EQ(0u, reply.dropped);
    EXPECT_EQ(0u, reply.corrupted);
}

TEST(Faults, CertainDropLosesEveryByte) {
    FaultInjector faults(1);
    faults.Settings().drop = 1;
    const Bytes bytes = Sample(45);
    const radiosim::FaultedReply reply = faults.Outgoing(bytes.data(), bytes.size());
    EXPECT_TRUE(reply.bytes.empty());
    EXPECT_EQ(45u, reply.dropped);
}

TEST(Faults, CertainCorruptionFlipsExactlyOneBitOfEveryByte) {
    FaultInjector faults(7);
    faults.Settings().corrupt = 1;
    const Bytes bytes = Sample(200);
    const radiosim::FaultedReply reply = faults.Outgoing(bytes.data(), bytes.size());
    ASSERT_EQ(bytes.size(), reply.bytes.size());
    EXPECT_EQ(200u, reply.corrupted);
    std::bitset<8> bitsSeen;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const std::bitset<8> flipped(bytes[i] ^ reply.bytes[i]);
        EXPECT_EQ(1u, flipped.count()) << i;
        bitsSeen |= flipped;
    }
    EXPECT_TRUE(bitsSeen.all()) << "every bit position gets hit";
}

TEST(Faults, CertainDelayHoldsEveryReply) {
    FaultInjector faults(1);
    faults.Settings().delay = 1;
    faults.Settings().delayMs = 750;
    const Bytes bytes = Sample(10);
    for (int i = 0; i < 3; ++i) {
        const radiosim::FaultedReply reply = faults.Outgoing(bytes.data(), bytes.size());
        EXPECT_EQ(750u, reply.holdMs);
        EXPECT_EQ(bytes, reply.bytes);
    }
}

TEST(Faults, IncomingCorruptionOnlyWhenAsked) {
    FaultInjector faults(3);
    bool corrupted = true;
    EXPECT_EQ(0x5A, faults.Incoming(0x5A, corrupted));
    EXPECT_FALSE(corrupted);
    faults.Settings().corruptIn = 1;
    const uint8_t received = faults.Incoming(0x5A, corrupted);
    EXPECT_TRUE(corrupted);
    EXPECT_EQ(1u, std::bitset<8>(received ^ 0x5A).count());
}

TEST(Faults, TheSameSeedGivesTheSameFaults) {
    auto run = [](uint64_t seed) {
        FaultInjector faults(seed);
        faults.Settings().drop = 0.1;
        faults.Settings().corrupt = 0.1;
        const Bytes bytes = Sample(500);
        return faults.Outgoing(bytes.data(), bytes.size()).bytes;
    };
    EXPECT_EQ(run(42), run(42));
    EXPECT_NE(run(42), run(43));
}

TEST(Faults, ProbabilitiesAreHonouredOverManyBytes) {
    FaultInjector faults(2024);
    faults.Settings().drop = 0.25;
    const Bytes bytes = Sample(40000);
    const radiosim::FaultedReply reply = faults.Outgoing(bytes.data(), bytes.size());
    // 10,000 expected; the standard deviation is about 87.
    EXPECT_GT(reply.dropped, 9500u);
    EXPECT_LT(reply.dropped, 10500u);
    EXPECT_EQ(bytes.size(), reply.dropped + reply.bytes.size());
}

} // namespace

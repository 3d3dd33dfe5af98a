// Faults the simulated radio injects on its side of the line, drawn from a seeded generator
// so that a run can be repeated exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace radiosim {

struct FaultSettings {
    double drop = 0;    // each outgoing byte is lost with this probability
    double corrupt = 0; // each outgoing byte has one random bit flipped with this probability
    double delay = 0;   // each reply is held back by delayMs with this probability
    uint32_t delayMs = 0;
    double corruptIn = 0; // each incoming byte has one random bit flipped with this probability
    bool silent = false;  // the radio hears nothing and answers nothing
};

// splitmix64: small, fast, and the same sequence on every platform.
class Random {
public:
    explicit Random(uint64_t seed) : m_state(seed) {}
    // True with probability p; draws nothing when p is 0 or 1 (or beyond).
    bool Chance(double p);
    uint32_t Below(uint32_t bound);

private:
    uint64_t Next();

    uint64_t m_state;
};

// A reply as it goes onto the line once the faults have been applied.
struct FaultedReply {
    std::vector<uint8_t> bytes;
    uint32_t holdMs = 0;
    size_t dropped = 0;
    size_t corrupted = 0;
};

class FaultInjector {
public:
    explicit FaultInjector(uint64_t seed) : m_random(seed) {}

    FaultSettings& Settings() { return m_settings; }

    FaultedReply Outgoing(const uint8_t* bytes, size_t count);
    // The byte as the radio receives it.
    uint8_t Incoming(uint8_t byte);

private:
    uint8_t FlipRandomBit(uint8_t byte) {
        return static_cast<uint8_t>(byte ^ (1u << m_random.Below(8)));
    }

    FaultSettings m_settings;
    Random m_random;
};

} // namespace radiosim

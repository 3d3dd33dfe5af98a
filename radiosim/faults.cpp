#include "radiosim/faults.h"

namespace radiosim {

uint64_t Random::Next() {
    m_state += 0x9E3779B97F4A7C15ull;
    uint64_t z = m_state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

bool Random::Chance(double p) {
    if (p <= 0) {
        return false;
    }
    if (p >= 1) {
        return true;
    }
    // 53 random bits make a uniform double in [0, 1).
    return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0) < p;
}

uint32_t Random::Below(uint32_t bound) {
    return static_cast<uint32_t>(Next() % bound);
}

FaultedReply FaultInjector::Outgoing(const uint8_t* bytes, size_t count) {
    FaultedReply reply;
    if (m_random.Chance(m_settings.delay)) {
        reply.holdMs = m_settings.delayMs;
    }
    reply.bytes.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        if (m_random.Chance(m_settings.drop)) {
            ++reply.dropped;
            continue;
        }
        uint8_t byte = bytes[i];
        if (m_random.Chance(m_settings.corrupt)) {
            byte = FlipRandomBit(byte);
            ++reply.corrupted;
        }
        reply.bytes.push_back(byte);
    }
    return reply;
}

uint8_t FaultInjector::Incoming(uint8_t byte) {
    return m_random.Chance(m_settings.corruptIn) ? FlipRandomBit(byte) : byte;
}

} // namespace radiosim

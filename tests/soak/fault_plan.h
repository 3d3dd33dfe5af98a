// The faults the soak adds to a cycle, on top of the corrupted and dropped bytes the radio
// applies all the time. Drawn from the seed, so a run can be repeated exactly.
#pragma once

#include <cstdint>
#include <random>
#include <string>

enum class FaultKind {
    None,
    Delay,       // replies held back past the 400 ms attempt timeout, some of them
    CorruptIn,   // bits flipped in what the radio receives
    SilentRead,  // the radio hears nothing from the start of the read
    SilentWrite, // the radio hears nothing from the start of the write
    CutRead,     // the line goes dead at a random moment during the read
    CutWrite,    // the line goes dead at a random moment during the write
};
constexpr int kFaultKinds = 7;

const char* FaultName(FaultKind kind);

struct CycleFault {
    FaultKind kind = FaultKind::None;
    unsigned cutAfterMs = 0; // for the cuts: when the line goes dead after the operation starts
};

class FaultPlan {
public:
    explicit FaultPlan(uint32_t seed) : m_random(seed) {}
    // About one cycle in three gets a fault of its own.
    CycleFault Next();
    uint32_t NewValue(uint32_t current); // a value 0-15 other than current

private:
    std::mt19937 m_random;
};

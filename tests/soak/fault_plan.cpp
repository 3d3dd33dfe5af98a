#include "tests/soak/fault_plan.h"

const char* FaultName(FaultKind kind) {
    switch (kind) {
    case FaultKind::None:
        return "none";
    case FaultKind::Delay:
        return "replies delayed past the timeout";
    case FaultKind::CorruptIn:
        return "bits flipped towards the radio";
    case FaultKind::SilentRead:
        return "radio silent from the read";
    case FaultKind::SilentWrite:
        return "radio silent from the write";
    case FaultKind::CutRead:
        return "line cut during the read";
    case FaultKind::CutWrite:
        return "line cut during the write";
    }
    return "?";
}

CycleFault FaultPlan::Next() {
    CycleFault fault;
    const uint32_t roll = m_random() % 100;
    if (roll < 67) {
        fault.kind = FaultKind::None;
    } else if (roll < 73) {
        fault.kind = FaultKind::Delay;
    } else if (roll < 79) {
        fault.kind = FaultKind::CorruptIn;
    } else if (roll < 82) {
        fault.kind = FaultKind::SilentRead;
    } else if (roll < 85) {
        fault.kind = FaultKind::SilentWrite;
    } else if (roll < 93) {
        fault.kind = FaultKind::CutRead;
    } else {
        fault.kind = FaultKind::CutWrite;
    }
    // A read takes a few hundred ms, a write less: cut anywhere in it.
    fault.cutAfterMs = m_random() % (fault.kind == FaultKind::CutRead ? 600 : 200);
    return fault;
}

uint32_t FaultPlan::NewValue(uint32_t current) {
    return (current + 1 + m_random() % 15) % 16;
}

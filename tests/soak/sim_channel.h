// The simulated radio's side channels as the soak uses them: control lines written to its FIFO
// (the radio applies each line before any serial input that arrives after it, so no wait is
// needed), and the faults its log says it applied.
#pragma once

#include <cstdint>
#include <string>

// Writes one control line to the FIFO at a Windows path. False when it could not.
bool SendControl(const std::string& fifoPath, const std::string& line);

struct LineFaultCounts {
    uint64_t droppedBytes = 0;   // reply bytes lost
    uint64_t corruptedBytes = 0; // reply bytes with a bit flipped
    uint64_t heldReplies = 0;    // replies held back
    uint64_t damagedFrames = 0;  // frames the radio received damaged
    uint64_t unheardFrames = 0;  // frames sent while the radio was silent
};

// Counts the faults in the radio's JSON-lines log (a Windows path).
LineFaultCounts CountLineFaults(const std::string& logPath);

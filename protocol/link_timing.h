// Timing of one exchange on the line, shared by the host side and the tests that bound it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace proto {

// A byte on an 8N1 line: start bit, eight data bits, stop bit.
constexpr uint32_t kBitsPerByte = 10;
constexpr uint32_t kLineBaud = 9600;
// How long the host waits for a reply to begin arriving and be processed, per attempt,
// beyond the reply's own time on the line.
constexpr uint32_t kReplyTimeoutMs = 400;
// Attempts per exchange that may end in silence: the first send and two retransmissions of the
// identical frame, each after a whole reply timeout.
constexpr uint32_t kSilentAttempts = 3;
// Sends per exchange in all. A damaged or mismatched answer is seen as soon as it has arrived,
// so the identical frame goes again at once, until this many sends or the bound below.
constexpr uint32_t kMaxSends = 12;
// A failed exchange reports within this bound, whatever the frame.
constexpr uint32_t kExchangeBoundMs = 2000;

// Milliseconds that `bytes` take on a line at `baud` (rounded up); 0 when baud is 0.
constexpr uint32_t LineTimeMs(size_t bytes, uint32_t baud) {
    return baud == 0 ? 0 : static_cast<uint32_t>((bytes * kBitsPerByte * 1000 + baud - 1) / baud);
}

// The timeout of one attempt whose reply takes `replyBytes` on the line.
constexpr uint32_t AttemptTimeoutMs(size_t replyBytes, uint32_t baud) {
    return kReplyTimeoutMs + LineTimeMs(replyBytes, baud);
}

} // namespace proto

// The radio's sending side of the line: bytes leave no faster than a line at `baud` carries
// them (10 bits a byte), and a held-back reply waits before its first byte.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace radiosim {

class OutgoingLine {
public:
    using Clock = std::chrono::steady_clock;

    // baud 0: no pacing, bytes are due as soon as they are queued (or their hold ends).
    explicit OutgoingLine(uint32_t baud);

    // Queues bytes behind whatever is still on the line; the first byte starts no earlier than
    // `hold` after `now`. A byte is due once its last bit would have left the radio.
    void Enqueue(const std::vector<uint8_t>& bytes, Clock::time_point now,
                 std::chrono::milliseconds hold);

    bool Empty() const { return m_pending.empty(); }
    // When the first queued byte is due; only meaningful when not Empty().
    Clock::time_point NextDue() const { return m_pending.front().due; }
    // Copies up to `capacity` bytes that are due at `now` into `out`; returns how many. They
    // stay queued until Consume() says how many the port took.
    size_t PeekDue(Clock::time_point now, uint8_t* out, size_t capacity) const;
    void Consume(size_t count);

private:
    struct Pending {
        uint8_t byte;
        Clock::time_point due;
    };

    Clock::duration m_byteTime;
    Clock::time_point m_lineFree;
    std::deque<Pending> m_pending;
};

} // namespace radiosim

#include "radiosim/outgoing_line.h"

#include <algorithm>

namespace radiosim {

namespace {
constexpr int64_t kBitsPerByte = 10;
}

OutgoingLine::OutgoingLine(uint32_t baud)
    : m_byteTime(baud == 0 ? Clock::duration::zero()
                           : std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::nanoseconds(kBitsPerByte * 1000000000 / baud))) {}

void OutgoingLine::Enqueue(const std::vector<uint8_t>& bytes, Clock::time_point now,
                           std::chrono::milliseconds hold) {
    Clock::time_point end = std::max(now + hold, m_lineFree);
    for (uint8_t byte : bytes) {
        end += m_byteTime;
        m_pending.push_back({byte, end});
    }
    m_lineFree = end;
}

size_t OutgoingLine::PeekDue(Clock::time_point now, uint8_t* out, size_t capacity) const {
    size_t count = 0;
    while (count < capacity && count < m_pending.size() && m_pending[count].due <= now) {
        out[count] = m_pending[count].byte;
        ++count;
    }
    return count;
}

void OutgoingLine::Consume(size_t count) {
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(
                                                               std::min(count, m_pending.size())));
}

} // namespace radiosim

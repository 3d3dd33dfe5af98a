// What the radio does with one well-formed request frame: the answer and the change of state.
// No I/O, so tests and fuzzers can drive it directly.
#pragma once

#include <cstdint>
#include <string>

#include "protocol/frame.h"
#include "radiosim/layout_check.h"
#include "radiosim/radio_memory.h"

namespace radiosim {

struct HandlerResult {
    proto::Frame reply;
    // The request repeated the last one exactly: `reply` is the earlier answer, resent
    // without carrying the request out again.
    bool repeated = false;
    // A write was carried out (not refused, not a repeat); `check` then holds the state of
    // the checksummed blocks after it.
    bool stored = false;
    LayoutCheck check;
    // "ok" or "nak:<reason>", as the log shows it.
    std::string verdict;
};

class RequestHandler {
public:
    explicit RequestHandler(RadioMemory& memory) : m_memory(memory) {}

    HandlerResult Handle(const proto::Frame& request);

    void SetProgrammingMode(bool on);
    // The memory or mode changed behind the host's back: a repeated frame must be carried out
    // afresh rather than answered from the last exchange.
    void ForgetLastExchange() { m_haveLast = false; }

    uint32_t AcceptedWrites() const { return m_acceptedWrites; }
    // Accepted writes after which the record or the vector checksum did not match.
    uint32_t InconsistentStates() const { return m_inconsistentStates; }

private:
    proto::Frame Execute(const proto::Frame& request, HandlerResult& result);
    proto::Frame HandleCommand(const proto::Frame& request);
    proto::Frame HandleRead(const proto::Frame& request);
    proto::Frame HandleWrite(const proto::Frame& request, HandlerResult& result);

    RadioMemory& m_memory;
    bool m_programmingMode = false;
    bool m_haveLast = false;
    proto::Frame m_lastRequest;
    proto::Frame m_lastReply;
    uint32_t m_acceptedWrites = 0;
    uint32_t m_inconsistentStates = 0;
};

} // namespace radiosim

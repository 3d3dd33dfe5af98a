// One request and its answer on the line: send, wait, retransmit the identical frame, verify.
//
// The first attempt is sent by Start; Finish waits for the answer and retransmits the
// identical frame: at once on a damaged or mismatched answer, after the attempt's timeout on
// silence. Silence ends the exchange after proto::kSilentAttempts attempts, damage after
// proto::kMaxSends sends in all. Each attempt waits proto::kReplyTimeoutMs plus the expected
// answer's time on the line; the whole of Finish never takes longer than kExchangeLimitMs. Frames
// carrying another sequence number are late answers to earlier exchanges and are skipped without
// costing an attempt.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "component/link/byte_port.h"
#include "component/settings/frame_log.h"
#include "protocol/frame.h"

namespace radiolink {

// Finish gives up by this time after it was called, below the documented 2 s bound so that
// the last poll and the caller's own work fit inside it.
constexpr uint32_t kExchangeLimitMs = 1800;

// A process-wide counter, so that every connection starts at a sequence number the radio has
// not just answered. It starts at a value taken from the time and the process id.
uint8_t NextSequence();

class Exchange {
public:
    // Every frame sent and received goes to `log` with what the exchange made of it.
    Exchange(const proto::Frame& request, FrameLog& log);

    const proto::Frame& Request() const { return m_request; }

    // Drops stale input and sends the first attempt.
    HRESULT Start(BytePort& port);
    // Waits for the answer to the started request. S_OK: `answer` is the radio's answer of
    // the expected type, with the request's sequence number and address and the expected
    // length (its contents are the caller's to check). A Nak gives RadioRefusal(reason);
    // otherwise RADIOLINK_E_NO_ANSWER, RADIOLINK_E_BAD_ANSWER or the port's error.
    HRESULT Finish(BytePort& port, Clock& clock, proto::Frame& answer);

private:
    // `after`: what made the frame go again ("silence", "damage"); the first send has none.
    HRESULT Transmit(BytePort& port, const char* after);
    uint32_t AttemptTimeoutMs() const;

    proto::Frame m_request;
    FrameLog* m_log;
    uint8_t m_encoded[proto::kMaxEncodedFrame] = {};
    size_t m_encodedSize = 0;
    uint32_t m_attemptsSent = 0;
};

} // namespace radiolink

#include "component/link/exchange.h"

#include <algorithm>

#include "component/link/link_errors.h"
#include "protocol/link_timing.h"
#include "protocol/messages.h"

namespace radiolink {

namespace {

// How an arriving frame relates to the request waiting for its answer.
enum class Fit {
    OtherExchange, // another sequence number: a late answer to an earlier request
    Mismatch,      // our sequence number, but not the answer this request can have
    Refusal,       // a Nak for this request
    Answer,        // the expected answer type with the expected address and length
};

// The answer type and payload length a request is answered with when it is carried out.
struct Expected {
    proto::FrameType type;
    uint8_t length;
};

Expected ExpectedAnswer(const proto::Frame& request) {
    switch (request.type) {
    case proto::FrameType::Read:
        return {proto::FrameType::ReadData, request.payload[0]};
    case proto::FrameType::Write:
        return {proto::FrameType::WriteAck, static_cast<uint8_t>(proto::kWriteAckLength)};
    default:
        return {proto::FrameType::CommandAck, 0};
    }
}

Fit Classify(const proto::Frame& request, const proto::Frame& frame) {
    if (frame.sequence != request.sequence) {
        return Fit::OtherExchange;
    }
    if (frame.address != request.address) {
        return Fit::Mismatch;
    }
    if (frame.type == proto::FrameType::Nak) {
        return frame.length == 1 ? Fit::Refusal : Fit::Mismatch;
    }
    const Expected expected = ExpectedAnswer(request);
    return frame.type == expected.type && frame.length == expected.length ? Fit::Answer
                                                                          : Fit::Mismatch;
}

// Encoded size of a frame with `length` payload bytes, delimiter included.
size_t EncodedSize(size_t length) {
    return proto::CobsEncodedMax(proto::kHeaderSize + length + proto::kCrcSize) + 1;
}

LONG SequenceSeed() {
    const DWORD mixed = GetTickCount() ^ (GetCurrentProcessId() * 2654435761u);
    return static_cast<uint8_t>(mixed ^ (mixed >> 8) ^ (mixed >> 16));
}

// The last sequence number given out; seeded when the DLL loads.
LONG g_lastSequence = SequenceSeed();

} // namespace

uint8_t NextSequence() {
    return static_cast<uint8_t>(InterlockedIncrement(&g_lastSequence));
}

Exchange::Exchange(const proto::Frame& request, FrameLog& log) : m_request(request), m_log(&log) {
    m_encodedSize = proto::EncodeFrame(m_request, m_encoded, sizeof m_encoded);
}

HRESULT Exchange::Start(BytePort& port) {
    port.DiscardInput();
    return Transmit(port, nullptr);
}

HRESULT Exchange::Transmit(BytePort& port, const char* after) {
    if (m_encodedSize == 0) {
        return E_INVALIDARG;
    }
    ++m_attemptsSent;
    m_log->Sent(m_request, m_attemptsSent, after);
    return port.Write(m_encoded, m_encodedSize);
}

uint32_t Exchange::AttemptTimeoutMs() const {
    // A Nak (one payload byte) may be the answer too; wait for the longer of the two.
    const size_t longest = std::max<size_t>(ExpectedAnswer(m_request).length, 1);
    return proto::AttemptTimeoutMs(EncodedSize(longest), proto::kLineBaud);
}

HRESULT Exchange::Finish(BytePort& port, Clock& clock, proto::Frame& answer) {
    const uint64_t giveUpAt = clock.NowMs() + kExchangeLimitMs;
    uint64_t attemptEndsAt = std::min(giveUpAt, clock.NowMs() + AttemptTimeoutMs());
    bool sawBadAnswer = false;
    uint32_t silences = 0; // attempts that ended without a usable answer in their time
    proto::FrameReader reader;

    for (;;) {
        uint8_t bytes[128];
        size_t received = 0;
        // Wakes as soon as an answer has arrived; on silence, when the attempt's time is up.
        const uint64_t before = clock.NowMs();
        const uint32_t waitMs =
            attemptEndsAt > before ? static_cast<uint32_t>(attemptEndsAt - before) : 1;
        HRESULT hr = port.Read(bytes, sizeof bytes, received, waitMs);
        if (FAILED(hr)) {
            return hr;
        }
        bool damaged = false;
        for (size_t i = 0; i < received; ++i) {
            proto::Frame frame;
            proto::DecodeResult why{};
            const auto event = reader.Push(bytes[i], frame, why);
            if (event == proto::FrameReader::Event::Rejected) {
                m_log->Damaged(why);
                damaged = true;
                continue;
            }
            if (event != proto::FrameReader::Event::Frame) {
                continue;
            }
            switch (Classify(m_request, frame)) {
            case Fit::OtherExchange:
                m_log->Received(frame, "late answer, skipped");
                break;
            case Fit::Mismatch:
                m_log->Received(frame, "mismatch");
                damaged = true;
                break;
            case Fit::Refusal:
                m_log->Received(frame, "refusal");
                return RadioRefusal(frame.payload[0]);
            case Fit::Answer:
                m_log->Received(frame, "answer");
                answer = frame;
                return S_OK;
            }
        }
        sawBadAnswer = sawBadAnswer || damaged;

        const uint64_t now = clock.NowMs();
        if (now >= giveUpAt) {
            break;
        }
        const bool silent = now >= attemptEndsAt;
        if (!silent && !damaged) {
            continue;
        }
        silences += silent ? 1 : 0;
        if (m_attemptsSent >= proto::kMaxSends || silences >= proto::kSilentAttempts) {
            // No attempt left: answers to earlier attempts may still come until the last
            // attempt's time is up.
            if (silent) {
                break;
            }
            continue;
        }
        if (silent) {
            // Whatever arrived without a delimiter by now is a fragment; it must not be glued
            // to the answer of the retransmission.
            reader.Reset();
        }
        hr = Transmit(port, silent ? "silence" : "damage");
        if (FAILED(hr)) {
            return hr;
        }
        attemptEndsAt = std::min(giveUpAt, clock.NowMs() + AttemptTimeoutMs());
    }
    m_log->Line(sawBadAnswer ? "gave up: bad answers" : "gave up: no answer");
    return sawBadAnswer ? RADIOLINK_E_BAD_ANSWER : RADIOLINK_E_NO_ANSWER;
}

} // namespace radiolink

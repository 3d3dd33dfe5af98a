#include "component/port_program/port_probe.h"

#include <algorithm>
#include <memory>

#include "component/link/exchange.h"
#include "protocol/link_timing.h"
#include "protocol/messages.h"

namespace radiolink {

namespace {

bool IsInUse(HRESULT result) {
    return result == HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED) ||
           result == HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION);
}

// Holds the log's lock for one line.
class Locked {
public:
    explicit Locked(CRITICAL_SECTION& lock) : m_lock(lock) { EnterCriticalSection(&m_lock); }
    Locked(const Locked&) = delete;
    ~Locked() { LeaveCriticalSection(&m_lock); }

private:
    CRITICAL_SECTION& m_lock;
};

} // namespace

uint32_t ProbeAttemptMs() {
    const size_t nakOnLine = proto::CobsEncodedMax(proto::kHeaderSize + 1 + proto::kCrcSize) + 1;
    return proto::AttemptTimeoutMs(nakOnLine, proto::kLineBaud);
}

bool IsRadioAnswer(const proto::Frame& probe, const proto::Frame& frame) {
    return frame.type == proto::FrameType::Nak && frame.length == 1 &&
           frame.sequence == probe.sequence && frame.address == probe.address;
}

SearchLog::SearchLog() {
    InitializeCriticalSection(&m_lock);
    m_log.Open();
}

SearchLog::~SearchLog() {
    m_log.Close();
    DeleteCriticalSection(&m_lock);
}

void SearchLog::Opened(const char* port, HRESULT result) {
    char text[80];
    wsprintfA(text,
              SUCCEEDED(result) ? "open %.32s to find the radio: ok"
                                : "open %.32s to find the radio: error 0x%08lX",
              port, result);
    Locked locked(m_lock);
    m_log.Line(text);
}

void SearchLog::Frame(const char* direction, const proto::Frame& frame, const char* port,
                      const char* verdict) {
    char text[80];
    wsprintfA(text, "%.32s: %s", port, verdict);
    Locked locked(m_lock);
    m_log.FrameLine(direction, frame, text);
}

void SearchLog::Damaged(const char* port, proto::DecodeResult why) {
    char text[80];
    wsprintfA(text, "received damaged frame on %.32s: %s", port, proto::DecodeResultName(why));
    Locked locked(m_lock);
    m_log.Line(text);
}

void SearchLog::Outcome(const char* port, const char* what) {
    char text[80];
    wsprintfA(text, "find radio on %.32s: %s", port, what);
    Locked locked(m_lock);
    m_log.Line(text);
}

ProbeOutcome ProbePort(const char* port, PortOpener& opener, Clock& clock, SearchLog& log,
                       const volatile LONG& stop) {
    std::unique_ptr<BytePort> line;
    const HRESULT opened = opener.Open(port, line);
    log.Opened(port, opened);
    if (FAILED(opened) || !line) {
        const bool inUse = IsInUse(opened);
        log.Outcome(port, inUse ? "in use" : "not opened");
        return {inUse ? Finding::InUse : Finding::NotOpened, FAILED(opened) ? opened : E_FAIL};
    }
    proto::Frame probe;
    proto::MakeReadFrame(NextSequence(), kProbeAddress, 1, probe);
    uint8_t encoded[proto::kMaxEncodedFrame];
    const size_t size = proto::EncodeFrame(probe, encoded, sizeof encoded);
    line->DiscardInput();
    ProbeOutcome outcome;
    proto::FrameReader reader;
    for (uint32_t send = 1; send <= kProbeSends && !stop && outcome.finding != Finding::Radio;
         ++send) {
        log.Frame("sent    ", probe, port, send == 1 ? "probe" : "probe again: no answer in time");
        if (FAILED(line->Write(encoded, size))) {
            break;
        }
        reader.Reset(); // a fragment from before must not be glued to the answer
        const uint64_t until = clock.NowMs() + ProbeAttemptMs();
        for (uint64_t now = clock.NowMs(); now < until && !stop; now = clock.NowMs()) {
            uint8_t bytes[128];
            size_t received = 0;
            const uint32_t waitMs =
                static_cast<uint32_t>(std::min<uint64_t>(kProbeSliceMs, until - now));
            if (FAILED(line->Read(bytes, sizeof bytes, received, waitMs))) {
                break;
            }
            for (size_t i = 0; i < received && outcome.finding != Finding::Radio; ++i) {
                proto::Frame frame;
                proto::DecodeResult why{};
                const auto event = reader.Push(bytes[i], frame, why);
                if (event == proto::FrameReader::Event::Rejected) {
                    log.Damaged(port, why);
                } else if (event == proto::FrameReader::Event::Frame) {
                    const bool radio = IsRadioAnswer(probe, frame);
                    log.Frame("received", frame, port,
                              radio ? "a radio's answer" : "not the probe's answer");
                    outcome.finding = radio ? Finding::Radio : outcome.finding;
                }
            }
            if (outcome.finding == Finding::Radio) {
                break;
            }
        }
    }
    line.reset(); // closed before anyone learns the outcome
    log.Outcome(port, outcome.finding == Finding::Radio ? "a radio answered" : "no answer");
    return outcome;
}

} // namespace radiolink

// Find radio's question to one port (port_search.h asks every listed port at once): is a radio
// that speaks our protocol on it?
//
// The probe is a Read of one byte at address 0xFFFFFFFF, sent at Hushwell's line settings. A
// radio refuses every memory request before the programming-mode command (Nak
// NotInProgrammingMode), and no radio's memory reaches that address (Nak AddressOutOfRange in
// programming mode), so whatever its mode the radio refuses it and carries nothing out: its mode
// and memory stay as they were. The probe never sends a command.
//
// Only a Nak that echoes the probe's sequence number and address, inside a frame whose CRC is
// good, counts as a radio. Noise, a GPS's sentences, a modem echoing the probe back and frames
// for another sequence number are no radio. The identical frame is sent once more if no answer
// came in the first attempt's time (an answer lost on the line); the radio answers it from its
// cache.
#pragma once

#include <windows.h>

#include <cstdint>

#include "component/link/byte_port.h"
#include "component/settings/frame_log.h"
#include "protocol/frame.h"

namespace radiolink {

enum class Finding {
    Radio,     // a radio answered
    NoAnswer,  // the port opened, but no radio answered in time
    InUse,     // another program holds the port
    NotOpened, // the port could not be opened, for the reason in `error`
    NotAsked,  // the port is not to be opened (a Bluetooth link, an adapter with no port)
};

struct ProbeOutcome {
    Finding finding = Finding::NoAnswer;
    HRESULT error = S_OK; // why the port could not be opened (InUse, NotOpened)
};

constexpr uint32_t kProbeAddress = 0xFFFFFFFF;
constexpr uint32_t kProbeSends = 2;
// How long each send waits for the answer: the reply timeout of an exchange whose answer is a
// Nak (14 bytes on the line), 415 ms at 9600 baud.
uint32_t ProbeAttemptMs();

// Whether `frame`, which arrived CRC-good, is a radio's answer to `probe`.
bool IsRadioAnswer(const proto::Frame& probe, const proto::Frame& frame);

// The link log of a search: probes write to it from their own threads, a line at a time, each
// line naming its port.
class SearchLog {
public:
    SearchLog();
    SearchLog(const SearchLog&) = delete;
    SearchLog& operator=(const SearchLog&) = delete;
    ~SearchLog();

    void Opened(const char* port, HRESULT result);
    void Frame(const char* direction, const proto::Frame& frame, const char* port,
               const char* verdict);
    void Damaged(const char* port, proto::DecodeResult why);
    void Outcome(const char* port, const char* what);

private:
    CRITICAL_SECTION m_lock;
    FrameLog m_log;
};

// Opens `port` through `opener`, sends the probe and waits up to kProbeSends attempts for a
// radio's answer; the port is closed again before it returns. Ends early, as NoAnswer, once
// `stop` is set (checked at least every kProbeSliceMs).
ProbeOutcome ProbePort(const char* port, PortOpener& opener, Clock& clock, SearchLog& log,
                       const volatile LONG& stop);

constexpr uint32_t kProbeSliceMs = 50;

} // namespace radiolink

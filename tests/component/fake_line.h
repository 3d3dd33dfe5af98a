// A scripted radio on a fake line, for running the link classes without a serial port or
// real time. The fake clock moves only while the host polls an empty line, so timeouts take
// no wall time and come out exactly the same on every run.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "component/byte_port.h"
#include "component/link_core.h"
#include "protocol/frame.h"

class FakeClock : public Clock {
public:
    uint64_t NowMs() override { return m_now; }
    void Advance(uint64_t ms) { m_now += ms; }

private:
    uint64_t m_now = 1'000'000;
};

// What the scripted radio does with one frame from the host.
enum class Answer {
    Correct,        // the right answer (the radio model's data, ack or Nak)
    Drop,           // nothing at all
    Corrupt,        // the right answer with one byte of its encoding changed
    Truncate,       // the right answer with its last bytes lost, delimiter kept
    WrongSequence,  // the right answer with another sequence number
    WrongAddress,   // the right answer with another address
    WrongType,      // a CommandAck where another type belongs (or the reverse)
    WrongLength,    // the right answer with one payload byte less
    WrongWriteCrc,  // a WriteAck whose CRC is off by one
    WrongWriteCount // a WriteAck whose count is off by one
};

class FakeLine {
public:
    FakeLine();

    FakeClock& Clock() { return m_clock; }
    // Opens ports on this line; every name asked for is recorded.
    PortOpener Opener();
    // Makes the opener fail with this result (S_OK: succeed).
    void FailOpenWith(HRESULT result) { m_openResult = result; }

    // The answers to the host's next frames, in order; Correct once the script runs out.
    void Script(std::vector<Answer> answers) { m_script.assign(answers.begin(), answers.end()); }
    // Answer with a Nak of this reason instead of the right answer (0: no Nak).
    void RefuseWith(proto::NakReason reason) { m_refusal = static_cast<uint8_t>(reason); }
    // A late answer to an earlier exchange, put on the line before the answer to each frame.
    void PrecedeAnswersWithStaleFrame(bool on) { m_staleFirst = on; }
    // Answer every frame with an endless stream of stale frames (a babbling line).
    void Babble(bool on) { m_babble = on; }
    // The radio model's memory: byte i holds (i * 7 + 3) & 0xFF until written.
    uint8_t MemoryAt(uint32_t address) const;

    const std::vector<uint8_t>& Written() const { return m_written; }
    const std::vector<proto::Frame>& FramesSent() const { return m_frames; }
    // The encoded bytes of each frame sent, delimiter included.
    const std::vector<std::vector<uint8_t>>& EncodedFramesSent() const { return m_encoded; }
    const std::vector<std::string>& OpenedNames() const { return m_openedNames; }
    int OpenPorts() const { return m_openPorts; }
    int Discards() const { return m_discards; }

private:
    class Port;
    friend class Port;

    void Received(const uint8_t* bytes, size_t count);
    void Respond(const proto::Frame& request);
    proto::Frame RightAnswer(const proto::Frame& request);
    void Queue(const proto::Frame& frame);

    FakeClock m_clock;
    HRESULT m_openResult = S_OK;
    std::deque<Answer> m_script;
    uint8_t m_refusal = 0;
    bool m_staleFirst = false;
    bool m_babble = false;
    std::vector<uint8_t> m_memory;

    std::vector<uint8_t> m_written;
    std::vector<proto::Frame> m_frames;
    std::vector<std::vector<uint8_t>> m_encoded;
    std::vector<uint8_t> m_pendingEncoded;
    proto::FrameReader m_reader;
    std::deque<uint8_t> m_incoming;
    std::vector<std::string> m_openedNames;
    int m_openPorts = 0;
    int m_discards = 0;
};

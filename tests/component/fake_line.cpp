#include "fake_line.h"

#include <algorithm>
#include <memory>

#include "component/serial_port.h"
#include "protocol/crc32.h"
#include "protocol/messages.h"

namespace {

constexpr size_t kMemorySize = 65536;

std::vector<uint8_t> Encode(const proto::Frame& frame) {
    std::vector<uint8_t> bytes(proto::kMaxEncodedFrame);
    bytes.resize(proto::EncodeFrame(frame, bytes.data(), bytes.size()));
    return bytes;
}

} // namespace

class FakeLine::Port : public BytePort {
public:
    explicit Port(FakeLine& line) : m_line(line) { ++m_line.m_openPorts; }
    ~Port() override { --m_line.m_openPorts; }

    HRESULT Write(const uint8_t* bytes, size_t count) override {
        m_line.Received(bytes, count);
        return S_OK;
    }

    HRESULT Read(uint8_t* out, size_t capacity, size_t& received) override {
        if (m_line.m_babble) {
            proto::Frame stale;
            stale.type = proto::FrameType::CommandAck;
            stale.sequence = static_cast<uint8_t>(
                m_line.m_frames.empty() ? 0 : m_line.m_frames.back().sequence + 100);
            m_line.Queue(stale);
        }
        received = std::min(capacity, m_line.m_incoming.size());
        if (received == 0) {
            m_line.m_clock.Advance(kReadPollMs);
            return S_OK;
        }
        std::copy_n(m_line.m_incoming.begin(), received, out);
        m_line.m_incoming.erase(m_line.m_incoming.begin(), m_line.m_incoming.begin() + received);
        // The bytes took their time on the line.
        m_line.m_clock.Advance(1 + received / 10);
        return S_OK;
    }

    void DiscardInput() override {
        m_line.m_incoming.clear();
        ++m_line.m_discards;
    }

private:
    FakeLine& m_line;
};

FakeLine::FakeLine() : m_memory(kMemorySize) {
    for (size_t i = 0; i < kMemorySize; ++i) {
        m_memory[i] = static_cast<uint8_t>(i * 7 + 3);
    }
}

uint8_t FakeLine::MemoryAt(uint32_t address) const {
    return m_memory.at(address);
}

PortOpener FakeLine::Opener() {
    return [this](const std::string& name, std::unique_ptr<BytePort>& port) {
        m_openedNames.push_back(name);
        if (FAILED(m_openResult)) {
            return m_openResult;
        }
        port = std::make_unique<Port>(*this);
        return S_OK;
    };
}

void FakeLine::Received(const uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        m_written.push_back(bytes[i]);
        m_pendingEncoded.push_back(bytes[i]);
        proto::Frame frame;
        proto::DecodeResult why{};
        const auto event = m_reader.Push(bytes[i], frame, why);
        if (event == proto::FrameReader::Event::None) {
            continue;
        }
        m_encoded.push_back(m_pendingEncoded);
        m_pendingEncoded.clear();
        if (event == proto::FrameReader::Event::Frame) {
            m_frames.push_back(frame);
            Respond(frame);
        }
    }
}

proto::Frame FakeLine::RightAnswer(const proto::Frame& request) {
    if (m_refusal != 0) {
        return proto::MakeNak(request, static_cast<proto::NakReason>(m_refusal));
    }
    switch (request.type) {
    case proto::FrameType::Read: {
        const size_t count = request.payload[0];
        if (request.address + count > kMemorySize) {
            return proto::MakeNak(request, proto::NakReason::AddressOutOfRange);
        }
        return proto::MakeReadData(request, &m_memory[request.address], count);
    }
    case proto::FrameType::Write: {
        if (request.address + request.length > kMemorySize) {
            return proto::MakeNak(request, proto::NakReason::AddressOutOfRange);
        }
        std::copy_n(request.payload, request.length, &m_memory[request.address]);
        return proto::MakeWriteAck(request, request.length,
                                   proto::Crc32(&m_memory[request.address], request.length));
    }
    default:
        return proto::MakeCommandAck(request);
    }
}

void FakeLine::Queue(const proto::Frame& frame) {
    const std::vector<uint8_t> bytes = Encode(frame);
    m_incoming.insert(m_incoming.end(), bytes.begin(), bytes.end());
}

void FakeLine::Respond(const proto::Frame& request) {
    if (m_staleFirst) {
        proto::Frame stale = RightAnswer(request);
        stale.sequence = static_cast<uint8_t>(stale.sequence - 1);
        Queue(stale);
    }
    const Answer action = m_script.empty() ? Answer::Correct : m_script.front();
    if (!m_script.empty()) {
        m_script.pop_front();
    }
    proto::Frame answer = RightAnswer(request);
    uint8_t count = 0;
    uint32_t crc = 0;
    switch (action) {
    case Answer::Correct:
        break;
    case Answer::Drop:
        return;
    case Answer::Corrupt:
    case Answer::Truncate: {
        std::vector<uint8_t> bytes = Encode(answer);
        const size_t middle = bytes.size() / 2;
        if (action == Answer::Corrupt) {
            bytes[middle] ^= (bytes[middle] == 0x01) ? 0x02 : 0x01;
        } else {
            bytes.erase(bytes.end() - 4, bytes.end() - 1);
        }
        m_incoming.insert(m_incoming.end(), bytes.begin(), bytes.end());
        return;
    }
    case Answer::WrongSequence:
        answer.sequence = static_cast<uint8_t>(answer.sequence + 1);
        break;
    case Answer::WrongAddress:
        answer.address += 1;
        break;
    case Answer::WrongType:
        answer.type = answer.type == proto::FrameType::CommandAck ? proto::FrameType::ReadData
                                                                  : proto::FrameType::CommandAck;
        break;
    case Answer::WrongLength:
        answer.length = answer.length > 0 ? answer.length - 1 : 1;
        break;
    case Answer::WrongWriteCrc:
        proto::ParseWriteAck(answer, count, crc);
        answer = proto::MakeWriteAck(request, count, crc + 1);
        break;
    case Answer::WrongWriteCount:
        proto::ParseWriteAck(answer, count, crc);
        answer = proto::MakeWriteAck(request, static_cast<uint8_t>(count + 1), crc);
        break;
    }
    Queue(answer);
}

// The link classes of the component on a scripted fake line with a fake clock: every poll of the
// line takes 5 ms of fake time (or 1 s on a slow line) and brings at most one frame, so timeouts
// cost no wall time and come out the same every run.
#pragma once

#include <algorithm>
#include <deque>
#include <memory>
#include <numeric>

#include "component/link/link_object.h"
#include "radio/radio_link.h"
#include "protocol/crc32.h"
#include "protocol/messages.h"
#include "tests/protocol/hex.h"

inline constexpr auto Hr = [](uint32_t code) { return static_cast<HRESULT>(code); };

// A transfer buffer over its own area, which starts as 0xCC so that any byte written shows.
struct Buffer : TransferBuffer {
    // count -1 here: as many as the content has (none: -1, as a reply area starts).
    explicit Buffer(const char* content = nullptr, int32_t count = -1, int32_t capacity = 64)
        : TransferBuffer{count, capacity, area} {
        const Bytes bytes = Hex(content ? content : "");
        std::copy(bytes.begin(), bytes.end(), std::fill_n(area, 80, 0xCC) - 80);
        this->count = content && count == -1 ? static_cast<int32_t>(bytes.size()) : count;
    }
    Buffer(const Buffer&) = delete; // data points into the buffer itself
    Bytes Area() const { return Bytes(area, area + 80); }
    BYTE area[80];
};

// What the radio does with the host's next frame; Right once the script has run out. OtherNak:
// a Nak for the next sequence number only; Echo: the frame itself back; Noise: bytes that make no
// frame.
enum class Answer {
    Right,
    Silence,
    Damaged,
    Stale,
    WrongAddress,
    Nak,
    BadCrc,
    SlowSilence,
    DamagedNak,
    OtherNak,
    Echo,
    Noise
};

using namespace radiolink;
using radio::ComPtr;

struct FakeLink : Clock, PortOpener {
    struct Port : BytePort {
        explicit Port(FakeLink& f) : f(f) { ++f.openPorts; }
        ~Port() override { --f.openPorts; }
        HRESULT Write(const uint8_t* bytes, size_t count) override { // a whole frame
            proto::Frame request;
            f.sent.emplace_back(bytes, bytes + count);
            proto::DecodeFrame(bytes, count - 1, request);
            f.Respond(request, f.script.empty() ? Answer::Right : f.script.front());
            f.script.erase(f.script.begin(), f.script.begin() + !f.script.empty());
            return S_OK;
        }
        // A silent line waits out the whole wait; an arrival takes one poll of fake time.
        HRESULT Read(uint8_t* out, size_t capacity, size_t& received, uint32_t waitMs) override {
            f.now += f.incoming.empty() ? std::max<uint64_t>(waitMs, f.pollMs) : f.pollMs;
            const size_t frame =
                std::find(f.incoming.begin(), f.incoming.end(), 0) - f.incoming.begin();
            received = std::min({capacity, frame + 1, f.incoming.size()});
            std::copy_n(f.incoming.begin(), received, out);
            f.incoming.erase(f.incoming.begin(), f.incoming.begin() + received);
            return S_OK;
        }
        void DiscardInput() override { f.incoming.clear(); }
        FakeLink& f;
    };

    explicit FakeLink(bool packet) {
        NewLink(packet ? LinkClass::Packet : LinkClass::Command, *this, *this, IID_IRadioLink,
                link.PutVoid());
        link->QueryInterface(IID_IPacketTransfer, transfer.PutVoid());
    }
    HRESULT Open(const char* name, std::unique_ptr<BytePort>& port) override {
        openedName = name;
        port = std::make_unique<Port>(*this);
        return S_OK;
    }
    uint64_t NowMs() override { return now; }
    void Queue(proto::Frame frame, int sequenceChange = 0, uint8_t flip = 0) {
        frame.sequence = static_cast<uint8_t>(frame.sequence + sequenceChange);
        Bytes bytes(proto::kMaxEncodedFrame);
        bytes.resize(proto::EncodeFrame(frame, bytes.data(), bytes.size()));
        bytes[bytes.size() / 2] ^= flip;
        incoming.insert(incoming.end(), bytes.begin(), bytes.end());
    }
    void Respond(const proto::Frame& request, Answer answer) {
        Bytes data(request.payload[0]); // what the built-in radio holds at 0x0120
        std::iota(data.begin(), data.end(), uint8_t{0x26});
        const uint32_t crc = proto::Crc32(request.payload, request.length);
        const bool nak =
            answer == Answer::Nak || answer == Answer::DamagedNak || answer == Answer::OtherNak;
        proto::Frame reply =
            nak                      ? proto::MakeNak(request, proto::NakReason::AddressOutOfRange)
            : answer == Answer::Echo ? request
            : request.type == proto::FrameType::Read
                ? proto::MakeReadData(request, data.data(), data.size())
            : request.type == proto::FrameType::Write
                ? proto::MakeWriteAck(request, request.length, crc + (answer == Answer::BadCrc))
                : proto::MakeCommandAck(request);
        reply.address += answer == Answer::WrongAddress;
        if (answer == Answer::Stale) { // first a late answer to the exchange before
            Queue(reply, -1);
        }
        pollMs = answer == Answer::SlowSilence ? 1000 : pollMs;
        if (answer == Answer::Noise) {
            const Bytes noise = Hex("47 50 47 47 41 2C 00 31 32 00 FF FE 00");
            incoming.insert(incoming.end(), noise.begin(), noise.end());
        } else if (answer != Answer::Silence && answer != Answer::SlowSilence) {
            const bool damaged = answer == Answer::Damaged || answer == Answer::DamagedNak;
            Queue(reply, answer == Answer::OtherNak, damaged ? 0x02 : 0);
        }
    }
    // The i-th frame the host wrote, decoded.
    proto::Frame Sent(size_t i = 0) const {
        proto::Frame frame;
        proto::DecodeFrame(sent[i].data(), sent[i].size() - 1, frame);
        return frame;
    }
    HRESULT Send(const char* bytes, int32_t count = -1, int32_t capacity = 64) {
        Buffer buffer(bytes, count, capacity);
        return link->Send(&buffer);
    }
    HRESULT Request(const char* name, const char* bytes, int32_t count = -1, int32_t room = 64) {
        Buffer buffer(bytes, count, room);
        return transfer->Request(name, &buffer, &address);
    }
    HRESULT Reply(int32_t capacity = 64) {
        reply.capacity = capacity;
        return transfer->Reply(0, &reply, &address);
    }

    uint64_t now = 0, pollMs = 5;
    std::deque<Answer> script;
    std::vector<Bytes> sent; // each frame the host wrote
    std::deque<uint8_t> incoming;
    int openPorts = 0;
    std::string openedName; // the port the last Open asked the opener for
    uint32_t address = 0x0120;
    Buffer reply;
    ComPtr<IPacketTransfer> transfer;
    ComPtr<IRadioLink> link;
};

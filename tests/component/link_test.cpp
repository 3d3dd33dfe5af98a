// The link classes on the scripted line: each exchange retransmits the identical frame, verifies
// every answer and keeps its times; each refused call gives its result and changes nothing.
#include <gtest/gtest.h>

#include "component/link/serial_port.h"
#include "tests/component/fake_line.h"

namespace {

using A = Answer;

TEST(Exchange, RetriesVerifiesAndKeepsItsTimes) {
    const A silent[] = {A::Silence, A::Silence, A::Silence};
    const struct {
        const char* request; // "send", or the name of a request
        const char* payload;
        std::vector<A> script;
        HRESULT result;
        size_t sends;
        uint64_t waitMs; // fake time spent, to less than 20 ms more
        const char* reply;
    } cases[] = {
        {"REQ_RD_DATA", "04", {}, S_OK, 1, 0, "26 27 28 29"},
        {"REQ_RD_DATA", "04", {A::Silence}, S_OK, 2, 418, "26 27 28 29"},
        {"REQ_RD_DATA", "04", {A::Damaged}, S_OK, 2, 0, "26 27 28 29"},
        {"REQ_RD_DATA", "04", {A::WrongAddress}, S_OK, 2, 0, "26 27 28 29"},
        {"REQ_RD_DATA", "04", {A::Stale}, S_OK, 1, 0, "26 27 28 29"}, // costs no attempt
        {"REQ_RD_DATA", "04", {A::Nak}, Hr(0x80040302), 1, 0, ""},    // address out of range
        {"REQ_RD_DATA", "04", {silent, silent + 3}, Hr(0x80040210), 3, 1254, ""}, // no answer
        // Damage is resent at once, up to 12 sends; silence ends the exchange at its third.
        {"REQ_RD_DATA", "04", std::vector<A>(11, A::Damaged), S_OK, 12, 55, "26 27 28 29"},
        {"REQ_RD_DATA", "04", std::vector<A>(12, A::Damaged), Hr(0x80040211), 12, 473, ""},
        {"REQ_RD_DATA",
         "04",
         {A::Silence, A::Damaged, A::Silence, A::Silence},
         Hr(0x80040211),
         4,
         1254,
         ""},
        // A slow line: the exchange ends at its first poll after 1.8 s, whatever attempts are left.
        {"REQ_RD_DATA", "04", {A::SlowSilence, A::Silence}, Hr(0x80040210), 2, 2000, ""},
        {"REQ_WR_DATA", "00 11 22", {A::Silence}, S_OK, 2, 419, ""},
        {"REQ_WR_DATA", "00 11 22", {A::BadCrc}, Hr(0x80040212), 1, 0, ""}, // not confirmed
        {"send", "01 02 01 40 00", {silent, silent + 3}, Hr(0x80040210), 3, 1245, ""},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        const bool send = std::string(c.request) == "send";
        FakeLink fake(!send);
        fake.script.assign(c.script.begin(), c.script.end());
        ASSERT_EQ(S_OK, fake.link->Open("COM1", send ? 0 : 4));
        const HRESULT hr = send ? fake.Send(c.payload) : fake.Request(c.request, c.payload);
        EXPECT_EQ(c.result, SUCCEEDED(hr) && !send ? fake.Reply() : hr) << i;
        ASSERT_EQ(c.sends, fake.sent.size()) << i;
        EXPECT_EQ(std::vector<Bytes>(c.sends, fake.sent[0]), fake.sent) << i << ": identical";
        EXPECT_TRUE(fake.now >= c.waitMs && fake.now < c.waitMs + 20) << i << ": " << fake.now;
        EXPECT_EQ(Buffer(c.reply).Area(), fake.reply.Area()) << i;
        EXPECT_EQ(FAILED(c.result) || send ? -1 : int(Hex(c.reply).size()), fake.reply.count) << i;
    }
}

using F = FakeLink;
enum State { Closed, Command, Packet, Pending };

TEST(RefusedCall, GivesItsResultAndChangesNothing) {
    const HRESULT kBad = E_INVALIDARG, kWrongKind = Hr(0x80040203), kNotOpen = Hr(0x80040201);
    const struct {
        bool packetLink;
        State state;
        HRESULT (*call)(F&);
        HRESULT result;
    } cases[] = {
        {true, Packet, [](F& f) { return f.Send("01 02 01 40 00"); }, kWrongKind},
        {true, Command, [](F& f) { return f.Request("REQ_RD_DATA", "04"); }, kWrongKind},
        {true, Command, [](F& f) { return f.Reply(); }, kWrongKind},
        {false, Closed, [](F& f) { return f.Send("01 02 01 40 00"); }, kNotOpen},
        {true, Closed, [](F& f) { return f.Request("REQ_RD_DATA", "04"); }, kNotOpen},
        {true, Packet, [](F& f) { return f.Reply(); }, Hr(0x80040204)}, // no request
        {true, Pending, [](F& f) { return f.Request("REQ_RD_DATA", "04"); }, Hr(0x80040205)},
        {false, Command, [](F& f) { return f.link->Send(nullptr); }, kBad},
        {false, Command, [](F& f) { return f.Send("01", 65, 65); }, kBad},
        {false, Command, [](F& f) { return f.Send("01 02", 2, 1); }, kBad}, // beyond capacity
        {true, Packet, [](F& f) { return f.Request("REQ_RD_BLOCK", "04"); }, kBad},
        {true, Packet, [](F& f) { return f.Request("REQ_RD_DATA", "41"); }, kBad},
        {true, Packet, [](F& f) { return f.Request("REQ_WR_DATA", "01", 65, 65); }, kBad},
        {true, Pending, [](F& f) { return f.transfer->Reply(1, &f.reply, &f.address); }, kBad},
        {true, Pending, [](F& f) { return f.Reply(3); }, kBad}, // room for 3 of the 4 bytes read
        {true, Closed, [](F& f) { return f.link->Open("COM1", 1); }, kBad},
        {false, Closed, [](F& f) { return f.link->Open("COM1", 4); }, kBad},
        {true, Packet, [](F& f) { return f.link->Open("COM1", 4); }, Hr(0x80040202)}, // open
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        FakeLink fake(c.packetLink);
        if (c.state != Closed) {
            ASSERT_EQ(S_OK, fake.link->Open("COM1", c.state == Command ? 0 : 4));
        }
        if (c.state == Pending) {
            ASSERT_EQ(S_OK, fake.Request("REQ_RD_DATA", "04"));
        }
        const auto before = std::make_pair(fake.sent.size(), fake.openPorts);
        EXPECT_EQ(c.result, c.call(fake)) << i;
        EXPECT_EQ(before, std::make_pair(fake.sent.size(), fake.openPorts)) << i << ": unchanged";
        EXPECT_EQ(-1, fake.reply.count) << i;
        EXPECT_EQ(Buffer().Area(), fake.reply.Area()) << i;
        if (c.state == Pending && c.result != Hr(0x80040205)) {
            EXPECT_EQ(Hr(0x80040204), fake.Reply()) << i << ": Reply ended the request";
        }
    }
}

// The port is claimed only once its device is open: while one open of COM8 blocks in the driver
// (a Bluetooth link connecting), another open of COM8 is not told the port is in use.
HRESULT g_whileBlocked = S_OK;
HANDLE BlockedDeviceOpen(const char*) {
    static int depth = 0;
    if (depth++ == 0) {
        std::unique_ptr<BytePort> second;
        g_whileBlocked = SerialPort::Open("COM8", second);
    }
    --depth;
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
}

TEST(SerialPort, ClaimsThePortOnlyOnceItIsOpen) {
    const DeviceOpen before = SetDeviceOpen(BlockedDeviceOpen);
    std::unique_ptr<BytePort> port;
    EXPECT_EQ(Hr(0x80070002), SerialPort::Open("COM8", port));
    EXPECT_EQ(Hr(0x80070002), g_whileBlocked) << "not 0x80070005, in use";
    EXPECT_EQ(nullptr, OpenMutexA(SYNCHRONIZE, FALSE, "Local\\Hushwell.radiolink.port.COM8"))
        << "no claim left behind";
    SetDeviceOpen(before);
}

} // namespace

// Calls the link classes must refuse: each gives its documented result and puts nothing on
// the line.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "component/link_errors.h"
#include "fake_link.h"
#include "transfer_buffer.h"

namespace {

// How the link is set up before the call under test.
enum class State { Closed, CommandConnection, PacketConnection, PacketRequested };

// Buffers and an address that outlive the call; each case spoils what it needs.
struct Arguments {
    TestBuffer payload, reply;
    uint32_t address = 0x100;
    Arguments() { payload.Fill({32}); }
};

struct RefusedCall {
    const char* name;
    LinkKind kind;
    State state;
    std::function<HRESULT(FakeLink&, Arguments&)> call;
    HRESULT result;
};

HRESULT Read(FakeLink& f, Arguments& a) {
    return f.transfer->Request(kReadRequest, a.payload.Get(), &a.address);
}
HRESULT Reply(FakeLink& f, Arguments& a) {
    return f.transfer->Reply(0, a.reply.Get(), &a.address);
}

HRESULT SendWith(FakeLink& f, TransferBuffer* buffer) {
    return f.link->Send(buffer);
}

HRESULT RequestWith(FakeLink& f, const char* name, int32_t count, int32_t capacity,
                    BYTE byte0 = 32) {
    TestBuffer payload;
    payload.Fill({byte0});
    payload.buffer.count = count;
    payload.buffer.capacity = capacity;
    uint32_t address = 0;
    return f.transfer->Request(name, payload.Get(), &address);
}

HRESULT SendCount(FakeLink& f, int32_t count, int32_t capacity) {
    TestBuffer command;
    command.Fill({1, 2, 1, 0x40, 0});
    command.buffer.count = count;
    command.buffer.capacity = capacity;
    return f.link->Send(command.Get());
}

const RefusedCall kRefusedCalls[] = {
    // Request arguments.
    {"unknown_request_name", LinkKind::Packet, State::PacketConnection,
     [](FakeLink& f, Arguments&) { return RequestWith(f, "REQ_XX_DATA", 1, 64); }, E_INVALIDARG},
    {"request_name_in_lower_case", LinkKind::Packet, State::PacketConnection,
     [](FakeLink& f, Arguments&) { return RequestWith(f, "req_rd_data", 1, 64); }, E_INVALIDARG},
    {"null_request_name", LinkKind::Packet, State::PacketConnection,
     [](FakeLink& f, Arguments&) { return RequestWith(f, nullptr, 1, 64); }, E_INVALIDARG},
    {"null_payload", LinkKind::Packet, State::PacketConnection,
     [](FakeLink& f, Arguments& a) {
         return f.transfer->Request(kReadRequest, nullptr, &a.address);
     },
     E_INVALIDARG},
    {"null_payload_data", LinkKind::Packet, State::PacketConnection,
     [](FakeLink& f, Arguments& a) {
         TransferBuffer payload{1, 64, nullptr};
         return f.transfer->Request(kWriteRequest, &payload, &a.address);
     },
     E_INVALIDARG},
    {"null_address", LinkKind::Packet, State::PacketConnection,
     [](FakeLink& f, Arguments& a) {
         return f.transfer->Request(kReadRequest, a.payload.Get(), nullptr);
     },
     E_INVALIDARG},
    {"write_count_zero", LinkKind::Packet, State::PacketConnection,
     [](FakeLink& f, Arguments&) { return RequestWith(f, kWriteRequest, 0, 64); }, E_INVALIDARG},
    {"write_count_beyond_capacity", LinkKind::Packet, State::PacketConnection,
     [](FakeLink& f, Arguments&) { return RequestWith(f, kWriteRequest, 17, 16); }, E_INVALIDARG},
    {"write_count_beyond_64", LinkKind::Packet, State::PacketConnection,
     [](FakeLink& f, Arguments&) { return RequestWith(f, kWriteRequest, 65, 100); }, E_INVALIDARG},
    {"read_payload_count_beyond_capacity", LinkKind::Packet, State::PacketConnection,
     [](FakeLink& f, Arguments&) { return RequestWith(f, kReadRequest, 2, 1); }, E_INVALIDARG},
    {"read_of_zero_bytes", LinkKind::Packet, State::PacketConnection,
     [](FakeLink& f, Arguments&) { return RequestWith(f, kReadRequest, 1, 64, 0); }, E_INVALIDARG},
    {"read_of_65_bytes", LinkKind::Packet, State::PacketConnection,
     [](FakeLink& f, Arguments&) { return RequestWith(f, kReadRequest, 1, 64, 65); }, E_INVALIDARG},
    // Reply without a request.
    {"reply_without_request", LinkKind::Packet, State::PacketConnection, Reply,
     RADIOLINK_E_NO_REQUEST},
    // Send arguments.
    {"send_null_buffer", LinkKind::Command, State::CommandConnection,
     [](FakeLink& f, Arguments&) { return SendWith(f, nullptr); }, E_INVALIDARG},
    {"send_null_data", LinkKind::Command, State::CommandConnection,
     [](FakeLink& f, Arguments&) {
         TransferBuffer command{5, 64, nullptr};
         return SendWith(f, &command);
     },
     E_INVALIDARG},
    {"send_count_zero", LinkKind::Command, State::CommandConnection,
     [](FakeLink& f, Arguments&) { return SendCount(f, 0, 64); }, E_INVALIDARG},
    {"send_count_negative", LinkKind::Command, State::CommandConnection,
     [](FakeLink& f, Arguments&) { return SendCount(f, -5, 64); }, E_INVALIDARG},
    {"send_count_beyond_capacity", LinkKind::Command, State::CommandConnection,
     [](FakeLink& f, Arguments&) { return SendCount(f, 5, 4); }, E_INVALIDARG},
    {"send_count_beyond_64", LinkKind::Command, State::CommandConnection,
     [](FakeLink& f, Arguments&) { return SendCount(f, 65, 128); }, E_INVALIDARG},
    // Calls of the wrong kind of connection.
    {"send_on_packet_connection", LinkKind::Packet, State::PacketConnection,
     [](FakeLink& f, Arguments&) { return SendCount(f, 5, 64); }, RADIOLINK_E_WRONG_CONNECTION},
    {"request_on_command_connection", LinkKind::Packet, State::CommandConnection, Read,
     RADIOLINK_E_WRONG_CONNECTION},
    {"reply_on_command_connection", LinkKind::Packet, State::CommandConnection, Reply,
     RADIOLINK_E_WRONG_CONNECTION},
    // Calls on a link that is not open.
    {"send_when_closed", LinkKind::Command, State::Closed,
     [](FakeLink& f, Arguments&) { return SendCount(f, 5, 64); }, RADIOLINK_E_NOT_OPEN},
    {"request_when_closed", LinkKind::Packet, State::Closed, Read, RADIOLINK_E_NOT_OPEN},
    {"reply_when_closed", LinkKind::Packet, State::Closed, Reply, RADIOLINK_E_NOT_OPEN},
    // A second request before the reply of the first.
    {"request_while_one_is_pending", LinkKind::Packet, State::PacketRequested, Read,
     RADIOLINK_E_REQUEST_PENDING},
    // Reply arguments, with a request waiting (which they clear).
    {"reply_flags_not_zero", LinkKind::Packet, State::PacketRequested,
     [](FakeLink& f, Arguments& a) { return f.transfer->Reply(1, a.reply.Get(), &a.address); },
     E_INVALIDARG},
    {"reply_null_buffer", LinkKind::Packet, State::PacketRequested,
     [](FakeLink& f, Arguments& a) { return f.transfer->Reply(0, nullptr, &a.address); },
     E_INVALIDARG},
    {"reply_null_data", LinkKind::Packet, State::PacketRequested,
     [](FakeLink& f, Arguments& a) {
         TransferBuffer reply{0, 64, nullptr};
         return f.transfer->Reply(0, &reply, &a.address);
     },
     E_INVALIDARG},
    {"reply_null_address", LinkKind::Packet, State::PacketRequested,
     [](FakeLink& f, Arguments& a) { return f.transfer->Reply(0, a.reply.Get(), nullptr); },
     E_INVALIDARG},
    {"reply_capacity_below_the_read", LinkKind::Packet, State::PacketRequested,
     [](FakeLink& f, Arguments& a) {
         TestBuffer reply;
         reply.buffer.capacity = 31;
         return f.transfer->Reply(0, reply.Get(), &a.address);
     },
     E_INVALIDARG},
};

class RefusedCallTest : public testing::TestWithParam<RefusedCall> {};

TEST_P(RefusedCallTest, FailsAndSendsNothing) {
    const RefusedCall& c = GetParam();
    Arguments a;
    FakeLink fake(c.kind);
    if (c.state == State::CommandConnection) {
        ASSERT_EQ(S_OK, fake.link->Open("COM1", kCommandConnection));
    } else if (c.state != State::Closed) {
        ASSERT_EQ(S_OK, fake.link->Open("COM1", kPacketConnection));
    }
    if (c.state == State::PacketRequested) {
        ASSERT_EQ(S_OK, Read(fake, a));
    }
    const std::vector<uint8_t> before = fake.line.Written();

    EXPECT_EQ(c.result, c.call(fake, a));

    EXPECT_EQ(before, fake.line.Written()) << "nothing may be sent";
    EXPECT_TRUE(a.reply.Untouched());
    if (c.state == State::PacketRequested && c.result != RADIOLINK_E_REQUEST_PENDING) {
        EXPECT_EQ(RADIOLINK_E_NO_REQUEST, Reply(fake, a)) << "the request is cleared whatever "
                                                             "the outcome of Reply";
    }
}

INSTANTIATE_TEST_SUITE_P(Table, RefusedCallTest, testing::ValuesIn(kRefusedCalls),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Open and Close

struct RefusedOpen {
    const char* name;
    LinkKind kind;
    const char* port;
    int32_t option;
};

const RefusedOpen kRefusedOpens[] = {
    {"null_port", LinkKind::Packet, nullptr, kPacketConnection},
    {"empty_port", LinkKind::Packet, "", kPacketConnection},
    {"option_1", LinkKind::Packet, "COM1", 1},
    {"option_minus_1", LinkKind::Packet, "COM1", -1},
    {"option_5", LinkKind::Packet, "COM1", 5},
    {"packet_option_on_command_link", LinkKind::Command, "COM1", kPacketConnection},
};

class RefusedOpenTest : public testing::TestWithParam<RefusedOpen> {};

TEST_P(RefusedOpenTest, GivesInvalidArgWithoutTouchingThePort) {
    FakeLink fake(GetParam().kind);
    EXPECT_EQ(E_INVALIDARG, fake.link->Open(GetParam().port, GetParam().option));
    EXPECT_TRUE(fake.line.OpenedNames().empty());
    EXPECT_EQ(S_FALSE, fake.link->Close()) << "the link stays closed";
}

INSTANTIATE_TEST_SUITE_P(Table, RefusedOpenTest, testing::ValuesIn(kRefusedOpens),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Open, OpensTheNamedPortOnce) {
    FakeLink fake(LinkKind::Packet);
    EXPECT_EQ(S_OK, fake.link->Open("COM1", kPacketConnection));
    EXPECT_EQ(RADIOLINK_E_ALREADY_OPEN, fake.link->Open("COM1", kPacketConnection));
    EXPECT_EQ(RADIOLINK_E_ALREADY_OPEN, fake.link->Open("COM2", kCommandConnection));
    EXPECT_EQ(std::vector<std::string>{"COM1"}, fake.line.OpenedNames());
    EXPECT_EQ(1, fake.line.OpenPorts());
}

TEST(Open, PassesOnThePortsErrorAndStaysClosed) {
    FakeLink fake(LinkKind::Command);
    fake.line.FailOpenWith(HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION),
              fake.link->Open("COM1", kCommandConnection));
    TestBuffer command;
    command.Fill({0, 0, 5, 8, 0});
    EXPECT_EQ(RADIOLINK_E_NOT_OPEN, fake.link->Send(command.Get()));
    EXPECT_TRUE(fake.line.Written().empty());
}

TEST(Close, ReleasesThePortAndLeavesTheLinkClosed) {
    FakeLink fake(LinkKind::Packet);
    ASSERT_EQ(S_OK, fake.link->Open("COM1", kPacketConnection));
    EXPECT_EQ(S_OK, fake.link->Close());
    EXPECT_EQ(0, fake.line.OpenPorts());
    EXPECT_EQ(S_FALSE, fake.link->Close());
    TestBuffer payload;
    payload.Fill({32});
    uint32_t address = 0;
    EXPECT_EQ(RADIOLINK_E_NOT_OPEN, fake.transfer->Request(kReadRequest, payload.Get(), &address));
    // Open again after Close: a fresh connection, of another kind even.
    EXPECT_EQ(S_OK, fake.link->Open("COM1", kCommandConnection));
    EXPECT_EQ(1, fake.line.OpenPorts());
}

TEST(Close, DropsAPendingRequest) {
    FakeLink fake(LinkKind::Packet);
    ASSERT_EQ(S_OK, fake.link->Open("COM1", kPacketConnection));
    TestBuffer payload, reply;
    payload.Fill({32});
    uint32_t address = 0;
    ASSERT_EQ(S_OK, fake.transfer->Request(kReadRequest, payload.Get(), &address));
    ASSERT_EQ(S_OK, fake.link->Close());
    ASSERT_EQ(S_OK, fake.link->Open("COM1", kPacketConnection));
    EXPECT_EQ(RADIOLINK_E_NO_REQUEST, fake.transfer->Reply(0, reply.Get(), &address));
    EXPECT_TRUE(reply.Untouched());
}

TEST(Release, ClosesAPortLeftOpen) {
    FakeLine line;
    {
        ComPtr<IRadioLink> link;
        ASSERT_EQ(S_OK,
                  NewCommandLink(line.Opener(), line.Clock(), IID_IRadioLink, link.PutVoid()));
        ASSERT_EQ(S_OK, link->Open("COM1", kCommandConnection));
        EXPECT_EQ(1, line.OpenPorts());
    }
    EXPECT_EQ(0, line.OpenPorts());
}

TEST(PacketLink, SendsCommandsOnACommandConnection) {
    FakeLink fake(LinkKind::Packet);
    ASSERT_EQ(S_OK, fake.link->Open("COM1", kCommandConnection));
    EXPECT_EQ(S_OK, SendCount(fake, 5, 64));
    ASSERT_EQ(1u, fake.line.FramesSent().size());
    EXPECT_EQ(proto::FrameType::Command, fake.line.FramesSent()[0].type);
}

} // namespace

// The exchange engine through the link classes, on a scripted fake line: retransmission of
// the identical frame, verification of every answer, the attempt limit and the time bound.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "component/exchange.h"
#include "component/serial_port.h"
#include "component/link_errors.h"
#include "fake_link.h"
#include "protocol/crc32.h"
#include "protocol/link_timing.h"
#include "transfer_buffer.h"

namespace {

constexpr uint32_t kReadAddress = 0x1234;

struct ExchangeCase {
    const char* name;
    std::vector<Answer> script;
    size_t framesSent;
    HRESULT result;
};

std::string CaseName(const ExchangeCase& c) {
    return c.name;
}

void ExpectIdenticalRetransmissions(const FakeLine& line, size_t frames) {
    ASSERT_EQ(frames, line.EncodedFramesSent().size());
    for (const auto& encoded : line.EncodedFramesSent()) {
        EXPECT_EQ(line.EncodedFramesSent().front(), encoded);
    }
}

// ---- reads

const ExchangeCase kReadCases[] = {
    {"answered_at_once", {}, 1, S_OK},
    {"dropped_answer", {Answer::Drop}, 2, S_OK},
    {"corrupted_answer", {Answer::Corrupt}, 2, S_OK},
    {"truncated_answer", {Answer::Truncate}, 2, S_OK},
    {"wrong_sequence", {Answer::WrongSequence}, 2, S_OK},
    {"wrong_address", {Answer::WrongAddress}, 2, S_OK},
    {"wrong_type", {Answer::WrongType}, 2, S_OK},
    {"wrong_length", {Answer::WrongLength}, 2, S_OK},
    {"two_failures", {Answer::Drop, Answer::Corrupt}, 3, S_OK},
    {"three_drops", {Answer::Drop, Answer::Drop, Answer::Drop}, 3, RADIOLINK_E_NO_ANSWER},
    {"three_corrupted",
     {Answer::Corrupt, Answer::Corrupt, Answer::Corrupt},
     3,
     RADIOLINK_E_BAD_ANSWER},
    {"drop_mismatch_drop",
     {Answer::Drop, Answer::WrongAddress, Answer::Drop},
     3,
     RADIOLINK_E_BAD_ANSWER},
    {"three_wrong_sequences",
     {Answer::WrongSequence, Answer::WrongSequence, Answer::WrongSequence},
     3,
     RADIOLINK_E_NO_ANSWER},
};

class ReadExchange : public testing::TestWithParam<ExchangeCase> {};

TEST_P(ReadExchange, DeliversOnlyVerifiedBytes) {
    const ExchangeCase& c = GetParam();
    FakeLink fake(LinkKind::Packet);
    ASSERT_EQ(S_OK, fake.link->Open("COM1", kPacketConnection));
    fake.line.Script(c.script);
    TestBuffer payload, reply;
    payload.Fill({32});
    uint32_t address = kReadAddress;

    ASSERT_EQ(S_OK, fake.transfer->Request(kReadRequest, payload.Get(), &address));
    const uint64_t start = fake.line.Clock().NowMs();
    EXPECT_EQ(c.result, fake.transfer->Reply(0, reply.Get(), &address));
    const uint64_t elapsed = fake.line.Clock().NowMs() - start;

    ExpectIdenticalRetransmissions(fake.line, c.framesSent);
    const proto::Frame& sent = fake.line.FramesSent().front();
    EXPECT_EQ(proto::FrameType::Read, sent.type);
    EXPECT_EQ(kReadAddress, sent.address);
    ASSERT_EQ(1, sent.length);
    EXPECT_EQ(32, sent.payload[0]);
    EXPECT_EQ(kReadAddress, address) << "the address variable is the caller's";
    if (SUCCEEDED(c.result)) {
        ASSERT_EQ(32, reply.buffer.count);
        for (uint32_t i = 0; i < 32; ++i) {
            EXPECT_EQ(fake.line.MemoryAt(kReadAddress + i), reply.bytes[i]) << "byte " << i;
        }
        EXPECT_EQ(kSentinelByte, reply.bytes[32]);
    } else {
        EXPECT_TRUE(reply.Untouched()) << "no byte may be delivered by a failed exchange";
        EXPECT_LE(elapsed, proto::kExchangeBoundMs);
    }
}

INSTANTIATE_TEST_SUITE_P(Retries, ReadExchange, testing::ValuesIn(kReadCases),
                         [](const auto& info) { return CaseName(info.param); });

// ---- writes

const ExchangeCase kWriteCases[] = {
    {"acknowledged", {}, 1, S_OK},
    {"dropped_ack", {Answer::Drop}, 2, S_OK},
    {"corrupted_ack", {Answer::Corrupt}, 2, S_OK},
    {"crc_mismatch", {Answer::WrongWriteCrc}, 1, RADIOLINK_E_WRITE_NOT_CONFIRMED},
    {"count_mismatch", {Answer::WrongWriteCount}, 1, RADIOLINK_E_WRITE_NOT_CONFIRMED},
    {"drop_then_crc_mismatch",
     {Answer::Drop, Answer::WrongWriteCrc},
     2,
     RADIOLINK_E_WRITE_NOT_CONFIRMED},
    {"three_drops", {Answer::Drop, Answer::Drop, Answer::Drop}, 3, RADIOLINK_E_NO_ANSWER},
};

class WriteExchange : public testing::TestWithParam<ExchangeCase> {};

TEST_P(WriteExchange, ChecksTheAcknowledgement) {
    const ExchangeCase& c = GetParam();
    FakeLink fake(LinkKind::Packet);
    ASSERT_EQ(S_OK, fake.link->Open("COM1", kPacketConnection));
    fake.line.Script(c.script);
    TestBuffer payload, reply;
    payload.Fill(
        {0x10, 0x20, 0x30, 0x00, 0xFF, 0x55, 0xAA, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07});
    uint32_t address = 0x0200;

    ASSERT_EQ(S_OK, fake.transfer->Request(kWriteRequest, payload.Get(), &address));
    EXPECT_EQ(c.result, fake.transfer->Reply(0, reply.Get(), &address));

    ExpectIdenticalRetransmissions(fake.line, c.framesSent);
    const proto::Frame& sent = fake.line.FramesSent().front();
    EXPECT_EQ(proto::FrameType::Write, sent.type);
    EXPECT_EQ(0x0200u, sent.address);
    ASSERT_EQ(14, sent.length);
    EXPECT_EQ(0, std::memcmp(payload.bytes.data(), sent.payload, 14));
    EXPECT_EQ(SUCCEEDED(c.result) ? 0 : kSentinelCount, reply.buffer.count);
}

INSTANTIATE_TEST_SUITE_P(Retries, WriteExchange, testing::ValuesIn(kWriteCases),
                         [](const auto& info) { return CaseName(info.param); });

// ---- commands

const ExchangeCase kCommandCases[] = {
    {"acknowledged", {}, 1, S_OK},
    {"dropped_ack", {Answer::Drop}, 2, S_OK},
    {"corrupted_ack", {Answer::Corrupt}, 2, S_OK},
    {"wrong_type", {Answer::WrongType}, 2, S_OK},
    {"wrong_sequence", {Answer::WrongSequence}, 2, S_OK},
    {"three_drops", {Answer::Drop, Answer::Drop, Answer::Drop}, 3, RADIOLINK_E_NO_ANSWER},
};

class CommandExchange : public testing::TestWithParam<ExchangeCase> {};

TEST_P(CommandExchange, SendsTheCountBytesAndWaitsForTheAck) {
    const ExchangeCase& c = GetParam();
    FakeLink fake(LinkKind::Command);
    ASSERT_EQ(S_OK, fake.link->Open("COM1", kCommandConnection));
    fake.line.Script(c.script);
    TestBuffer command;
    command.Fill({0x00, 0x12, 0x01, 0x06, 0x00});

    const uint64_t start = fake.line.Clock().NowMs();
    EXPECT_EQ(c.result, fake.link->Send(command.Get()));
    EXPECT_LE(fake.line.Clock().NowMs() - start, proto::kExchangeBoundMs);

    ExpectIdenticalRetransmissions(fake.line, c.framesSent);
    const proto::Frame& sent = fake.line.FramesSent().front();
    EXPECT_EQ(proto::FrameType::Command, sent.type);
    ASSERT_EQ(5, sent.length);
    EXPECT_EQ(0, std::memcmp(command.bytes.data(), sent.payload, 5));
}

INSTANTIATE_TEST_SUITE_P(Retries, CommandExchange, testing::ValuesIn(kCommandCases),
                         [](const auto& info) { return CaseName(info.param); });

// ---- refusals

struct RefusalCase {
    proto::NakReason reason;
    HRESULT result;
};

class Refusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, GivesTheReasonWithoutRetransmitting) {
    FakeLink fake(LinkKind::Packet);
    ASSERT_EQ(S_OK, fake.link->Open("COM1", kPacketConnection));
    fake.line.RefuseWith(GetParam().reason);
    TestBuffer payload, reply;
    payload.Fill({32});
    uint32_t address = 0;

    ASSERT_EQ(S_OK, fake.transfer->Request(kReadRequest, payload.Get(), &address));
    EXPECT_EQ(GetParam().result, fake.transfer->Reply(0, reply.Get(), &address));
    EXPECT_EQ(1u, fake.line.FramesSent().size());
    EXPECT_TRUE(reply.Untouched());
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, Refusal,
    testing::Values(
        RefusalCase{proto::NakReason::NotInProgrammingMode, RADIOLINK_E_NOT_IN_PROGRAMMING_MODE},
        RefusalCase{proto::NakReason::AddressOutOfRange, RADIOLINK_E_ADDRESS_OUT_OF_RANGE},
        RefusalCase{proto::NakReason::BadLength, RADIOLINK_E_BAD_LENGTH},
        RefusalCase{proto::NakReason::UnknownType, RADIOLINK_E_UNKNOWN_TYPE},
        RefusalCase{proto::NakReason::UnknownCommand, RADIOLINK_E_UNKNOWN_COMMAND},
        RefusalCase{static_cast<proto::NakReason>(0x42), MakeLinkError(0x0342)}));

TEST(RefusalCodes, AreFailuresOfTheInterfaceFacility) {
    EXPECT_EQ(static_cast<HRESULT>(0x80040301), RADIOLINK_E_NOT_IN_PROGRAMMING_MODE);
    EXPECT_EQ(static_cast<HRESULT>(0x80040302), RADIOLINK_E_ADDRESS_OUT_OF_RANGE);
    EXPECT_EQ(static_cast<HRESULT>(0x80040210), RADIOLINK_E_NO_ANSWER);
}

// ---- the line around the exchange

TEST(Exchange, SkipsALateAnswerToAnEarlierRequest) {
    FakeLink fake(LinkKind::Packet);
    ASSERT_EQ(S_OK, fake.link->Open("COM1", kPacketConnection));
    fake.line.PrecedeAnswersWithStaleFrame(true);
    TestBuffer payload, reply;
    payload.Fill({8});
    uint32_t address = 0x40;

    ASSERT_EQ(S_OK, fake.transfer->Request(kReadRequest, payload.Get(), &address));
    ASSERT_EQ(S_OK, fake.transfer->Reply(0, reply.Get(), &address));
    EXPECT_EQ(1u, fake.line.FramesSent().size()) << "a stale answer costs no attempt";
    EXPECT_EQ(8, reply.buffer.count);
    EXPECT_EQ(fake.line.MemoryAt(0x40), reply.bytes[0]);
}

TEST(Exchange, GivesUpWithinTheBoundOnABabblingLine) {
    FakeLink fake(LinkKind::Packet);
    ASSERT_EQ(S_OK, fake.link->Open("COM1", kPacketConnection));
    fake.line.Script({Answer::Drop, Answer::Drop, Answer::Drop});
    fake.line.Babble(true);
    TestBuffer payload, reply;
    payload.Fill({32});
    uint32_t address = 0;

    ASSERT_EQ(S_OK, fake.transfer->Request(kReadRequest, payload.Get(), &address));
    const uint64_t start = fake.line.Clock().NowMs();
    EXPECT_EQ(RADIOLINK_E_NO_ANSWER, fake.transfer->Reply(0, reply.Get(), &address));
    EXPECT_LE(fake.line.Clock().NowMs() - start, proto::kExchangeBoundMs);
    EXPECT_TRUE(reply.Untouched());
}

TEST(Exchange, WaitsForEachAttemptTheReplyTimeoutPlusTheAnswersLineTime) {
    FakeLink fake(LinkKind::Packet);
    ASSERT_EQ(S_OK, fake.link->Open("COM1", kPacketConnection));
    fake.line.Script({Answer::Drop, Answer::Drop, Answer::Drop});
    TestBuffer payload, reply;
    payload.Fill({64});
    uint32_t address = 0;

    ASSERT_EQ(S_OK, fake.transfer->Request(kReadRequest, payload.Get(), &address));
    const uint64_t start = fake.line.Clock().NowMs();
    EXPECT_EQ(RADIOLINK_E_NO_ANSWER, fake.transfer->Reply(0, reply.Get(), &address));
    // 64 data bytes: 7 header, 4 CRC, 1 stuffing and 1 delimiter byte make 77 on the line.
    const uint64_t attempt = proto::AttemptTimeoutMs(77, proto::kLineBaud);
    const uint64_t elapsed = fake.line.Clock().NowMs() - start;
    EXPECT_GE(elapsed, 3 * attempt);
    EXPECT_LT(elapsed, 3 * attempt + 3 * kReadPollMs);
}

TEST(Exchange, DropsStaleInputBeforeEachNewRequestOnly) {
    FakeLink fake(LinkKind::Packet);
    ASSERT_EQ(S_OK, fake.link->Open("COM1", kPacketConnection));
    fake.line.Script({Answer::Drop});
    TestBuffer payload, reply;
    payload.Fill({4});
    uint32_t address = 0;

    ASSERT_EQ(S_OK, fake.transfer->Request(kReadRequest, payload.Get(), &address));
    EXPECT_EQ(1, fake.line.Discards());
    ASSERT_EQ(S_OK, fake.transfer->Reply(0, reply.Get(), &address));
    EXPECT_EQ(2u, fake.line.FramesSent().size());
    EXPECT_EQ(1, fake.line.Discards()) << "an answer to the first attempt is still good";
}

TEST(Exchange, EveryNewRequestTakesAFreshSequenceNumber) {
    FakeLine line;
    std::vector<uint8_t> sequences;
    for (int connection = 0; connection < 2; ++connection) {
        ComPtr<IRadioLink> link;
        ComPtr<IPacketTransfer> transfer;
        ASSERT_EQ(S_OK, NewPacketLink(line.Opener(), line.Clock(), IID_IRadioLink, link.PutVoid()));
        ASSERT_EQ(S_OK, link->QueryInterface(IID_IPacketTransfer, transfer.PutVoid()));
        ASSERT_EQ(S_OK, link->Open("COM1", kPacketConnection));
        for (int i = 0; i < 2; ++i) {
            TestBuffer payload, reply;
            payload.Fill({1});
            uint32_t address = 0;
            ASSERT_EQ(S_OK, transfer->Request(kReadRequest, payload.Get(), &address));
            ASSERT_EQ(S_OK, transfer->Reply(0, reply.Get(), &address));
        }
        link->Close();
    }
    ASSERT_EQ(4u, line.FramesSent().size());
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_NE(line.FramesSent()[i - 1].sequence, line.FramesSent()[i].sequence);
    }
}

} // namespace

#include "radiosim/request_handler.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "protocol/crc32.h"
#include "protocol/messages.h"
#include "radiosim/default_radio.h"

namespace {

using proto::Frame;
using proto::FrameType;
using proto::NakReason;
using radiosim::RadioMemory;
using Bytes = std::vector<uint8_t>;

const Bytes kProgrammingMode = {0x01, 0x02, 0x01, 0x40, 0x00};
const Bytes kReset = {0x00, 0x00, 0x05, 0x08, 0x00};

Frame Command(uint8_t sequence, const Bytes& bytes) {
    Frame frame;
    frame.type = FrameType::Command;
    frame.sequence = sequence;
    frame.length = static_cast<uint8_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), frame.payload);
    return frame;
}

Frame Read(uint8_t sequence, uint32_t address, uint8_t count) {
    Frame frame;
    EXPECT_TRUE(proto::MakeReadFrame(sequence, address, count, frame));
    return frame;
}

Frame Write(uint8_t sequence, uint32_t address, const Bytes& bytes) {
    Frame frame;
    EXPECT_TRUE(proto::MakeWriteFrame(sequence, address, bytes.data(), bytes.size(), frame));
    return frame;
}

Bytes Payload(const Frame& frame) {
    return Bytes(frame.payload, frame.payload + frame.length);
}

class RequestHandlerTest : public ::testing::Test {
protected:
    void EnterProgrammingMode() {
        const radiosim::HandlerResult result = handler.Handle(Command(100, kProgrammingMode));
        ASSERT_EQ(FrameType::CommandAck, result.reply.type);
        ASSERT_TRUE(handler.ProgrammingMode());
    }

    void ExpectNak(const Frame& request, NakReason reason) {
        const radiosim::HandlerResult result = handler.Handle(request);
        EXPECT_EQ(FrameType::Nak, result.reply.type);
        EXPECT_EQ(request.sequence, result.reply.sequence);
        EXPECT_EQ(request.address, result.reply.address);
        EXPECT_EQ(Bytes{static_cast<uint8_t>(reason)}, Payload(result.reply));
        EXPECT_EQ(std::string("nak:") + proto::NakReasonName(reason), result.verdict);
        EXPECT_FALSE(result.stored);
    }

    const RadioMemory factory = radiosim::MakeDefaultRadio();
    RadioMemory memory = radiosim::MakeDefaultRadio();
    radiosim::RequestHandler handler{memory};
};

TEST_F(RequestHandlerTest, MemoryRequestsAreRefusedBeforeProgrammingMode) {
    EXPECT_FALSE(handler.ProgrammingMode());
    ExpectNak(Read(1, 0, 32), NakReason::NotInProgrammingMode);
    ExpectNak(Write(2, 0x0240, {0x01, 0x02}), NakReason::NotInProgrammingMode);
    EXPECT_TRUE(memory == factory);
    EXPECT_EQ(0u, handler.AcceptedWrites());
}

TEST_F(RequestHandlerTest, CommandsAreAcknowledgedAndChangeTheMode) {
    struct Step {
        Bytes command;
        bool modeAfter;
    };
    const Step steps[] = {
        {{0x00, 0x12, 0x01, 0x06, 0x00}, false}, // command 12h leaves the mode alone
        {kProgrammingMode, true},
        {{0x00, 0x12, 0x07, 0x06, 0x00}, true},  // any value byte
        {{0x00, 0x00, 0x05, 0x08, 0xA5}, false}, // reset; byte 4 is ignored
        {{0x01, 0x02, 0x01, 0x40}, true},        // four bytes are enough
    };
    uint8_t sequence = 10;
    for (const Step& step : steps) {
        const Frame request = Command(sequence++, step.command);
        const radiosim::HandlerResult result = handler.Handle(request);
        EXPECT_EQ(FrameType::CommandAck, result.reply.type);
        EXPECT_EQ(request.sequence, result.reply.sequence);
        EXPECT_EQ(0, result.reply.length);
        EXPECT_EQ("ok", result.verdict);
        EXPECT_EQ(step.modeAfter, handler.ProgrammingMode());
    }
}

TEST_F(RequestHandlerTest, ResetLeavesProgrammingMode) {
    EnterProgrammingMode();
    ASSERT_EQ(FrameType::ReadData, handler.Handle(Read(1, 0, 32)).reply.type);
    ASSERT_EQ(FrameType::CommandAck, handler.Handle(Command(2, kReset)).reply.type);
    EXPECT_FALSE(handler.ProgrammingMode());
    ExpectNak(Read(3, 0, 32), NakReason::NotInProgrammingMode);
}

TEST_F(RequestHandlerTest, UnknownCommandsAndShortCommandsAreRefused) {
    EnterProgrammingMode();
    ExpectNak(Command(1, {0x01, 0x02, 0x01, 0x41, 0x00}), NakReason::UnknownCommand);
    ExpectNak(Command(2, {0x00, 0x13, 0x01, 0x06, 0x00}), NakReason::UnknownCommand);
    ExpectNak(Command(3, {0x00, 0x00, 0x05}), NakReason::UnknownCommand);
    ExpectNak(Command(4, {}), NakReason::BadLength);
    // None of them changed the mode.
    EXPECT_TRUE(handler.ProgrammingMode());
}

TEST_F(RequestHandlerTest, ReplyTypesSentToTheRadioAreRefused) {
    for (FrameType type :
         {FrameType::CommandAck, FrameType::ReadData, FrameType::WriteAck, FrameType::Nak}) {
        Frame frame = Command(7, {0x01});
        frame.type = type;
        ExpectNak(frame, NakReason::UnknownType);
    }
}

TEST_F(RequestHandlerTest, ReadsReturnMemoryAndEchoTheRequest) {
    EnterProgrammingMode();
    struct Case {
        uint32_t address;
        uint8_t count;
    };
    const Case cases[] = {{0, 32},      {32, 32},    {0x0120, 32}, {0x0240, 64},
                          {0xFFE0, 32}, {0xFFFF, 1}, {0x00A0, 14}};
    uint8_t sequence = 0;
    for (const Case& c : cases) {
        const radiosim::HandlerResult result = handler.Handle(Read(++sequence, c.address, c.count));
        EXPECT_EQ(FrameType::ReadData, result.reply.type);
        EXPECT_EQ(sequence, result.reply.sequence);
        EXPECT_EQ(c.address, result.reply.address);
        EXPECT_EQ(Bytes(factory.data() + c.address, factory.data() + c.address + c.count),
                  Payload(result.reply))
            << c.address;
    }
}

TEST_F(RequestHandlerTest, MalformedReadsAndEmptyWritesAreRefused) {
    EnterProgrammingMode();
    Frame read = Read(1, 0, 32);
    read.payload[0] = 0;
    ExpectNak(read, NakReason::BadLength);
    read.payload[0] = 65;
    ExpectNak(read, NakReason::BadLength);
    read.payload[0] = 32;
    read.length = 2; // a count and a stray byte
    ExpectNak(read, NakReason::BadLength);
    read.length = 0;
    ExpectNak(read, NakReason::BadLength);

    Frame write = Write(2, 0x1000, {0x01});
    write.length = 0;
    ExpectNak(write, NakReason::BadLength);
    EXPECT_TRUE(memory == factory);
}

TEST_F(RequestHandlerTest, TransfersPastTheMemoryAreRefused) {
    EnterProgrammingMode();
    // 65535 + 32 and 65567 are where a record pointer of FFFF sends the two reads.
    ExpectNak(Read(1, 65535, 32), NakReason::AddressOutOfRange);
    ExpectNak(Read(2, 65567, 32), NakReason::AddressOutOfRange);
    ExpectNak(Read(3, 65505, 32), NakReason::AddressOutOfRange);
    ExpectNak(Read(4, 0xFFFFFFFF, 1), NakReason::AddressOutOfRange); // would wrap in 32 bits
    ExpectNak(Read(5, 0x10000, 1), NakReason::AddressOutOfRange);
    ExpectNak(Write(6, 65530, Bytes(10, 0x42)), NakReason::AddressOutOfRange);
    ExpectNak(Write(7, 0xFFFFFFF8, Bytes(10, 0x42)), NakReason::AddressOutOfRange);
    EXPECT_TRUE(memory == factory);
}

TEST_F(RequestHandlerTest, WritesStoreAndAcknowledgeWithTheCrcOfWhatMemoryHolds) {
    EnterProgrammingMode();
    const Bytes bytes = {0x00, 0x11, 0x22, 0x00, 0xFF};
    const Frame request = Write(9, 0x1000, bytes);
    const radiosim::HandlerResult result = handler.Handle(request);
    EXPECT_EQ(FrameType::WriteAck, result.reply.type);
    EXPECT_EQ(9, result.reply.sequence);
    EXPECT_EQ(0x1000u, result.reply.address);
    EXPECT_TRUE(result.stored);
    EXPECT_EQ(bytes, Bytes(memory.data() + 0x1000, memory.data() + 0x1005));

    uint8_t count = 0;
    uint32_t crc = 0;
    ASSERT_TRUE(proto::ParseWriteAck(result.reply, count, crc));
    EXPECT_EQ(5, count);
    EXPECT_EQ(proto::Crc32(bytes.data(), bytes.size()), crc);
    // Nothing around the written bytes moved.
    EXPECT_EQ(factory[0x0FFF], memory[0x0FFF]);
    EXPECT_EQ(factory[0x1005], memory[0x1005]);
}

TEST_F(RequestHandlerTest, AWriteAtTheVeryEndOfMemoryIsAccepted) {
    EnterProgrammingMode();
    const radiosim::HandlerResult result = handler.Handle(Write(1, 0xFFC0, Bytes(64, 0x5A)));
    EXPECT_EQ(FrameType::WriteAck, result.reply.type);
    EXPECT_EQ(0x5A, memory[0xFFFF]);
}

TEST_F(RequestHandlerTest, ARepeatedFrameGetsTheSameReplyWithoutBeingCarriedOutAgain) {
    EnterProgrammingMode();
    const Frame write = Write(42, 0x2000, {0xAA, 0xBB});
    const radiosim::HandlerResult first = handler.Handle(write);
    ASSERT_TRUE(first.stored);
    // Memory changes behind the host's back; a repeat must not write again.
    memory[0x2000] = 0x11;
    const radiosim::HandlerResult repeat = handler.Handle(write);
    EXPECT_TRUE(repeat.repeated);
    EXPECT_FALSE(repeat.stored);
    EXPECT_TRUE(proto::SameFrame(first.reply, repeat.reply));
    EXPECT_EQ(0x11, memory[0x2000]);
    EXPECT_EQ(1u, handler.AcceptedWrites());

    // The same bytes under a new sequence number are a new request.
    const radiosim::HandlerResult fresh = handler.Handle(Write(43, 0x2000, {0xAA, 0xBB}));
    EXPECT_FALSE(fresh.repeated);
    EXPECT_TRUE(fresh.stored);
    EXPECT_EQ(0xAA, memory[0x2000]);
    EXPECT_EQ(2u, handler.AcceptedWrites());
}

TEST_F(RequestHandlerTest, ARepeatedCommandIsNotCarriedOutAgain) {
    EnterProgrammingMode();
    const Frame reset = Command(5, kReset);
    ASSERT_EQ(FrameType::CommandAck, handler.Handle(reset).reply.type);
    handler.SetProgrammingMode(true); // forgets the exchange, as a control command does
    EXPECT_FALSE(handler.Handle(reset).repeated);
    EXPECT_FALSE(handler.ProgrammingMode());

    const Frame enter = Command(6, kProgrammingMode);
    ASSERT_TRUE(handler.Handle(enter).reply.type == FrameType::CommandAck);
    ASSERT_TRUE(handler.ProgrammingMode());
    const radiosim::HandlerResult repeat = handler.Handle(enter);
    EXPECT_TRUE(repeat.repeated);
    EXPECT_EQ(FrameType::CommandAck, repeat.reply.type);
}

TEST_F(RequestHandlerTest, ForgettingTheLastExchangeMakesARepeatRunAgain) {
    EnterProgrammingMode();
    const Frame read = Read(3, 0x0240, 4);
    const Bytes before = Payload(handler.Handle(read).reply);
    memory[0x0240] = 0x99;
    EXPECT_EQ(before, Payload(handler.Handle(read).reply)); // the cached answer
    handler.ForgetLastExchange();
    const radiosim::HandlerResult again = handler.Handle(read);
    EXPECT_FALSE(again.repeated);
    EXPECT_EQ(0x99, again.reply.payload[0]);
}

TEST_F(RequestHandlerTest, CountsWritesThatLeaveAChecksumInconsistent) {
    EnterProgrammingMode();
    const uint32_t record = radiosim::DefaultLayout::kRecordAddress;
    const uint32_t n = radiosim::DefaultLayout::kRecordLength;
    // The head of the record with a new squelch byte: its checksum lies in the tail.
    Bytes head(memory.data() + record, memory.data() + record + 32);
    head[22] = 0xB3;
    radiosim::HandlerResult result = handler.Handle(Write(1, record, head));
    EXPECT_FALSE(result.check.recordOk);
    EXPECT_TRUE(result.check.vectorOk);
    EXPECT_EQ(1u, handler.InconsistentStates());

    // The tail with the recomputed checksum makes the record whole again.
    unsigned sum = memory[record + 1];
    for (uint32_t i = 4; i <= n + 3; ++i) {
        sum += memory[record + i];
    }
    Bytes tail(memory.data() + record + 32, memory.data() + record + n + 5);
    tail.back() = static_cast<uint8_t>(sum - 0x55);
    result = handler.Handle(Write(2, record + 32, tail));
    EXPECT_TRUE(result.check.Consistent());
    EXPECT_EQ(1u, handler.InconsistentStates());
    EXPECT_EQ(2u, handler.AcceptedWrites());
}

} // namespace

// The Write button: the gate, the three blocks byte for byte with their packing and checksums,
// and what each failure sends (nothing) and shows.
#include "radio/radio_messages.h"
#include "radio/squelch_read.h"
#include "radio/squelch_write.h"
#include "tests/radio/radio_fixture.h"
#include "tests/radio/worked_radio.h"

namespace {

constexpr HRESULT kPortBusy = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);

std::vector<std::string> WriteCalls(uint32_t address, const std::string& hex) {
    const std::string at = " @" + std::to_string(address);
    return {"Request REQ_WR_DATA" + at + " [" + hex + "]", "Reply 0" + at};
}

std::string Zeros(int count) {
    std::string hex;
    for (int i = 0; i < count; ++i) {
        hex += i ? " 00" : "00";
    }
    return hex;
}

class SquelchWriteTest : public RadioTest {
protected:
    // A radio with a 28-byte squelch record whose squelch byte is 05, read completely.
    FakeRadio& ReadShortRecordRadio(FakeRadioConfig config = {}) {
        FakeRadio& radio = Radio(config);
        LoadWorkedRadio(radio);
        radio.Poke(kRecordAt, {0x1C, 0x7E, 0xAA, 0xBB, 0x00});
        radio.Poke(kRecordAt + 22, {0x05});
        radio.Poke(kRecordAt + 33, {0x00});
        radio.Poke(kRecordAt + 34, {0x00});
        ReadSquelch(m_dialog, RecordWait);
        EXPECT_TRUE(m_dialog.valueRead);
        m_log.Clear();
        return radio;
    }
    void Write(std::optional<UINT> entry) {
        m_dialog.entry = entry;
        WriteSquelch(m_dialog);
    }
};

TEST_F(SquelchWriteTest, RefusedBeforeAnyRead) {
    Radio();
    Write(8);
    EXPECT_EQ(Calls(), std::vector<std::string>{Box(kMsgMustReadFirst)});
}

TEST_F(SquelchWriteTest, SendsVectorThenRecordHeadThenTail) {
    ReadShortRecordRadio();
    Write(8);

    // Vector: 01..0D with the pot setting 80 sums to D3, checksum 7E. Record: byte 1 33 and the
    // packed squelch byte 18 sum to 4B, checksum F6 at byte 32: the tail is that byte alone.
    const std::string vector = "01 02 03 04 05 06 07 80 09 0A 0B 0C 0D 7E";
    const std::string head = "1C 33 AA BB " + Zeros(18) + " 18 " + Zeros(9);
    EXPECT_EQ(Calls(), Join({CommandCalls("00 12 01 06 00"),
                             PacketOpenCalls(),
                             {"TakeValue"},
                             WriteCalls(160, vector),
                             WriteCalls(576, head),
                             WriteCalls(608, "F6"),
                             PacketEndCalls()}));
    EXPECT_TRUE(m_dialog.valueRead) << "a write leaves the value read";
    EXPECT_EQ(m_dialog.image.recordEndIndex, 32u);
    EXPECT_EQ(m_dialog.image.recordImage[32], 0xF6u);
}

TEST_F(SquelchWriteTest, VectorChecksumGoesOutButTheImageKeepsTheOneRead) {
    ReadShortRecordRadio();
    Write(3);
    // 01..0D with 30 at byte 7 sums to 83; 83 - 55 = 2E.
    const std::vector<std::string> calls = Calls();
    ASSERT_GT(calls.size(), 9u);
    EXPECT_EQ(calls[9], "Request REQ_WR_DATA @160 [01 02 03 04 05 06 07 30 09 0A 0B 0C 0D 2E]");
    EXPECT_EQ(m_dialog.image.potVectorImage[7], 0x30u);
    EXPECT_EQ(m_dialog.image.potVectorImage[13], 0x7Eu);
}

TEST_F(SquelchWriteTest, SquelchBytePacking) {
    struct Case {
        uint8_t old;
        UINT value;
        uint8_t packed;
    };
    for (const Case& c :
         {Case{0xA5, 3, 0xB3}, Case{0xE3, 8, 0xF8}, Case{0xFF, 0, 0xF0}, Case{0x00, 15, 0x1F}}) {
        m_dialog = FakeDialog(m_log);
        FakeRadio& radio = Radio();
        LoadWorkedRadio(radio);
        radio.Poke(kRecordAt + 22, {c.old});
        ReadSquelch(m_dialog, RecordWait);
        Write(c.value);
        EXPECT_EQ(radio.Peek(kRecordAt + 22), c.packed) << std::hex << int(c.old) << " " << c.value;
        EXPECT_EQ(radio.Peek(kVectorAt + 7), c.value * 16) << c.value;
        // The record checksum the radio now holds matches its bytes (N = 30, checksum at 34).
        uint32_t sum = radio.Peek(kRecordAt + 1);
        for (uint32_t i = 4; i <= 33; ++i) {
            sum += radio.Peek(kRecordAt + i);
        }
        EXPECT_EQ(radio.Peek(kRecordAt + 34), static_cast<uint8_t>(sum - 0x55));
        EXPECT_EQ(radio.Peek(kRecordAt + 1), 0x33) << "byte 1 goes out as 33";
    }
}

TEST_F(SquelchWriteTest, LongestRecordSendsA32ByteTail) {
    FakeRadio& radio = Radio();
    LoadWorkedRadio(radio);
    radio.Poke(kRecordAt, {0x3B}); // N = 59: checksum at byte 63
    radio.Poke(kRecordAt + 62, {0x21});
    ReadSquelch(m_dialog, RecordWait);
    m_log.Clear();
    Write(10);
    const std::vector<std::string> calls = Calls();
    ASSERT_EQ(calls.size(), 18u);
    const std::string& tail = calls[13]; // after the command, the open, the vector and the head
    EXPECT_EQ(tail.rfind("Request REQ_WR_DATA @608 [", 0), 0u) << tail;
    EXPECT_EQ(std::count(tail.begin(), tail.end(), ' '), 3 + 31) << "32 bytes: " << tail;
    EXPECT_EQ(m_dialog.image.recordEndIndex, 63u);
    EXPECT_EQ(radio.Peek(kRecordAt + 63), m_dialog.image.recordImage[63]);
}

TEST_F(SquelchWriteTest, TwoWritesOfOneValueSendIdenticalBlocks) {
    ReadShortRecordRadio();
    Write(5);
    const std::vector<std::string> first = Calls();
    m_log.Clear();
    Write(5);
    EXPECT_EQ(Calls(), first);
}

TEST_F(SquelchWriteTest, RecordLengthsThatCannotBeWrittenSendNothing) {
    for (uint8_t n : {uint8_t{27}, uint8_t{60}, uint8_t{0}, uint8_t{255}}) {
        m_dialog = FakeDialog(m_log);
        FakeRadio& radio = Radio();
        LoadWorkedRadio(radio);
        radio.Poke(kRecordAt, {n});
        ReadSquelch(m_dialog, RecordWait);
        m_log.Clear();
        Write(4);
        EXPECT_EQ(Calls(), Join({CommandCalls("00 12 01 06 00"),
                                 PacketOpenCalls(),
                                 {"TakeValue", Box(kMsgRecordLengthUnsupported)},
                                 PacketEndCalls()}))
            << "N = " << int(n);
        EXPECT_EQ(radio.Peek(kVectorAt + 7), 0x80) << "the vector is not written either";
    }
}

TEST_F(SquelchWriteTest, RejectedEntrySendsNothingButOpensAndClosesThePort) {
    ReadShortRecordRadio();
    Write(std::nullopt);
    EXPECT_EQ(
        Calls(),
        Join({CommandCalls("00 12 01 06 00"), PacketOpenCalls(), {"TakeValue"}, PacketEndCalls()}));
    EXPECT_TRUE(m_dialog.valueRead);
}

TEST_F(SquelchWriteTest, PortAbsentIsToldTwice) {
    ReadShortRecordRadio();
    m_radio->m_opens = 0;
    m_radio->Config().openResults = {kPortBusy, kPortBusy};
    Write(8);
    EXPECT_EQ(Calls(), Join({{"CommandLink.CreateInstance", "Open COM1 0",
                              Box(kMsgCouldNotOpenPort), "Release IRadioLink"},
                             PacketOpenCalls(),
                             {Box(kMsgCouldNotOpenPort)},
                             PacketEndCalls()}));
}

TEST_F(SquelchWriteTest, FailedTransferStopsTheRemainingBlocks) {
    struct Case {
        const char* what;
        int failRequestAt, failReplyAt;
        size_t writesMade;
    };
    // Requests 0 to 6 belong to the read before the write.
    for (const Case& c : {Case{"vector request", 7, -1, 1}, Case{"head reply", -1, 8, 2},
                          Case{"tail request", 9, -1, 3}}) {
        m_dialog = FakeDialog(m_log);
        FakeRadioConfig config;
        config.failRequestAt = c.failRequestAt;
        config.failReplyAt = c.failReplyAt;
        ReadShortRecordRadio(config);
        Write(8);
        const std::vector<std::string> calls = Calls();
        EXPECT_EQ(
            std::count_if(calls.begin(), calls.end(),
                          [](const std::string& call) { return call.rfind("Request", 0) == 0; }),
            static_cast<long>(c.writesMade))
            << c.what;
        const std::vector<std::string> end = Join({{Box(kMsgWriteIncomplete)}, PacketEndCalls()});
        EXPECT_EQ(std::vector<std::string>(calls.end() - 4, calls.end()), end) << c.what;
        EXPECT_TRUE(m_dialog.valueRead) << "Write can be pressed again";
    }
}

TEST_F(SquelchWriteTest, NoPacketTransferEndsWithTheInstantiateMessage) {
    ReadShortRecordRadio();
    m_radio->Config().givePacketTransfer = false;
    Write(8);
    EXPECT_EQ(Calls(), Join({CommandCalls("00 12 01 06 00"),
                             {"PacketLink.CreateInstance", "QueryInterface IPacketTransfer",
                              "Release IRadioLink", Box(kMsgCouldNotInstantiate)}}));
}

TEST_F(SquelchWriteTest, NoTransferAreaMeansNothingIsSent) {
    ReadShortRecordRadio();
    const TransferAreaAllocator previous =
        SetTransferAreaAllocator([]() -> BYTE* { return nullptr; });
    Write(8);
    SetTransferAreaAllocator(previous);
    EXPECT_EQ(Calls(), std::vector<std::string>{Box(kMsgOutOfMemory)});
}

} // namespace

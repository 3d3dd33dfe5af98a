// The Read button: the order of commands, the wait, the seven reads and their addresses, what
// lands in the image and the dialog, and every way it can fail.
#include "radio/radio_messages.h"
#include "radio/squelch_read.h"
#include "tests/radio/radio_fixture.h"
#include "tests/radio/worked_radio.h"

namespace {

constexpr HRESULT kPortBusy = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);

class SquelchReadTest : public RadioTest {
protected:
    void Read() { ReadSquelch(m_dialog, RecordWait); }

    // Dialog state before the read, to see what a failure leaves alone.
    void GiveDialogEarlierState() {
        m_dialog.value = 7;
        m_dialog.valueRead = TRUE;
        m_dialog.image.recordImage[0] = 0x42;
    }
    void ExpectEarlierStateKept() {
        EXPECT_EQ(m_dialog.value, 7u);
        EXPECT_TRUE(m_dialog.valueRead);
        EXPECT_EQ(m_dialog.image.recordImage[0], 0x42u);
        EXPECT_FALSE(m_dialog.rangeOpened);
    }
};

std::vector<std::string> CommandsBeforeThePacketLink() {
    return Join({CommandCalls("01 02 01 40 00"), {"Wait 1000"}, CommandCalls("00 12 01 06 00")});
}

std::vector<std::string> WorkedWalk() {
    return Join({ReadCalls(0),
                 ReadCalls(32),
                 ReadCalls(288),
                 ReadCalls(320),
                 ReadCalls(576),
                 {"OpenValueRange"},
                 ReadCalls(608),
                 ReadCalls(160)});
}

TEST_F(SquelchReadTest, WorkedExampleWalksTheMemoryInOrder) {
    LoadWorkedRadio(Radio());
    Read();

    EXPECT_EQ(Calls(),
              Join({CommandsBeforeThePacketLink(),
                    PacketOpenCalls(),
                    WorkedWalk(),
                    {"Close", "ShowValue 10", "Release IRadioLink", "Release IPacketTransfer"}}));
    EXPECT_EQ(m_dialog.value, 10u);
    EXPECT_TRUE(m_dialog.valueRead);
}

TEST_F(SquelchReadTest, WorkedExampleFillsTheImage) {
    LoadWorkedRadio(Radio());
    Read();

    const RadioImage& image = m_dialog.image;
    EXPECT_EQ(image.indexAddress, 288u);
    EXPECT_EQ(image.potVectorAddress, 160u);
    EXPECT_EQ(image.recordAddress, 576u);
    EXPECT_EQ(image.squelchByte, 0x9A);
    EXPECT_EQ(image.transferAddress, 160u);
    EXPECT_EQ(image.blockScratch[0], 0x11u) << "the index block overwrites the root block";
    EXPECT_EQ(image.blockScratch[52], 0x02u);
    EXPECT_EQ(image.blockScratch[53], 0x40u);
    EXPECT_EQ(image.recordImage[0], 0x1Eu);
    EXPECT_EQ(image.recordImage[1], 0x33u) << "byte 1 is always 0x33 in the image";
    EXPECT_EQ(image.recordImage[2], 0xAAu);
    EXPECT_EQ(image.recordImage[22], 0x9Au);
    EXPECT_EQ(image.recordImage[34], 0xC0u);
    EXPECT_EQ(image.recordImage[40], 0x5Au);
    EXPECT_EQ(image.potVectorImage[7], 0x80u);
    EXPECT_EQ(image.potVectorImage[13], 0x7Eu);
    EXPECT_EQ(image.potVectorImage[14], 0xEEu);
}

TEST_F(SquelchReadTest, SquelchValueIgnoresTheHighBits) {
    FakeRadio& radio = Radio();
    LoadWorkedRadio(radio);
    radio.Poke(kRecordAt + 22, {0xFA});
    Read();
    EXPECT_EQ(m_dialog.value, 10u);
    EXPECT_EQ(m_dialog.image.squelchByte, 0xFA);
}

TEST_F(SquelchReadTest, VectorAddressLimits) {
    struct Case {
        uint8_t high, low;
        bool found;
    };
    for (const Case& c :
         {Case{0x00, 0x00, false}, Case{0x00, 0x40, false}, Case{0x00, 0x41, true},
          Case{0x02, 0x7F, true}, Case{0x02, 0x80, false}, Case{0xFF, 0xFF, false}}) {
        const uint32_t address = c.high * 256u + c.low;
        m_log.Clear();
        m_dialog = FakeDialog(m_log);
        FakeRadio& radio = Radio();
        LoadWorkedRadio(radio);
        radio.Poke(39, {c.high, c.low});
        Read();

        const std::vector<std::string> walk = Join({ReadCalls(0),
                                                    ReadCalls(32),
                                                    ReadCalls(288),
                                                    ReadCalls(320),
                                                    ReadCalls(576),
                                                    {"OpenValueRange"},
                                                    ReadCalls(608)});
        const std::vector<std::string> tail =
            c.found ? ReadCalls(address) : std::vector<std::string>{Box(kMsgVectorNotFound)};
        EXPECT_EQ(Calls(), Join({CommandsBeforeThePacketLink(),
                                 PacketOpenCalls(),
                                 walk,
                                 tail,
                                 {"Close", "ShowValue 10", "Release IRadioLink",
                                  "Release IPacketTransfer"}}))
            << "vector at " << address;
        EXPECT_EQ(m_dialog.valueRead, c.found ? TRUE : FALSE) << "vector at " << address;
        EXPECT_EQ(m_dialog.value, 10u) << "the value from the record is shown all the same";
    }
}

TEST_F(SquelchReadTest, PointersAreUsedAsReadWithoutWrapping) {
    FakeRadio& radio = Radio();
    LoadWorkedRadio(radio);
    radio.Poke(kIndexAt + 52, {0xFF, 0xFF});
    Read();
    const std::vector<std::string> calls = Calls();
    const std::vector<std::string> r5 = ReadCalls(65535), r6 = ReadCalls(65567);
    EXPECT_NE(std::search(calls.begin(), calls.end(), r5.begin(), r5.end()), calls.end());
    EXPECT_NE(std::search(calls.begin(), calls.end(), r6.begin(), r6.end()), calls.end());
    EXPECT_EQ(m_dialog.image.recordAddress, 65535u);
}

TEST_F(SquelchReadTest, ProgrammingModeFailureEndsAtOnce) {
    struct Case {
        const char* what;
        FakeRadioConfig config;
        std::vector<std::string> calls;
    };
    FakeRadioConfig portBusy;
    portBusy.openResults = {kPortBusy};
    FakeRadioConfig missing;
    missing.registerCommandLink = false;
    missing.registerPacketLink = false;
    FakeRadioConfig sendFails;
    sendFails.sendResults = {E_FAIL};
    const std::string message = Box(kMsgCouldNotEnterProgrammingMode);
    for (const Case& c :
         {Case{"port busy",
               portBusy,
               {"CommandLink.CreateInstance", "Open COM1 0", "Release IRadioLink", message}},
          Case{"component missing", missing, {message}},
          Case{"command refused", sendFails, Join({CommandCalls("01 02 01 40 00"), {message}})}}) {
        m_log.Clear();
        m_dialog = FakeDialog(m_log);
        GiveDialogEarlierState();
        LoadWorkedRadio(Radio(c.config));
        Read();
        EXPECT_EQ(Calls(), c.calls) << c.what;
        ExpectEarlierStateKept();
    }
}

TEST_F(SquelchReadTest, Command12FailureIsReportedAndTheReadGoesOn) {
    FakeRadioConfig config;
    config.openResults = {S_OK, kPortBusy};
    LoadWorkedRadio(Radio(config));
    Read();
    EXPECT_EQ(Calls(),
              Join({CommandCalls("01 02 01 40 00"),
                    {"Wait 1000"},
                    {"CommandLink.CreateInstance", "Open COM1 0", Box(kMsgCouldNotOpenPort),
                     "Release IRadioLink"},
                    PacketOpenCalls(),
                    WorkedWalk(),
                    {"Close", "ShowValue 10", "Release IRadioLink", "Release IPacketTransfer"}}));
    EXPECT_TRUE(m_dialog.valueRead);
}

TEST_F(SquelchReadTest, NoPacketLinkMeansNoCloseAndNoRedisplay) {
    struct Case {
        const char* what;
        FakeRadioConfig config;
        std::vector<std::string> packetCalls;
    };
    FakeRadioConfig missing;
    missing.registerPacketLink = false;
    FakeRadioConfig refused;
    refused.createResults = {S_OK, S_OK, E_OUTOFMEMORY};
    FakeRadioConfig noTransfer;
    noTransfer.givePacketTransfer = false;
    for (const Case& c : {Case{"class missing", missing, {}},
                          Case{"creation fails", refused, {"PacketLink.CreateInstance"}},
                          Case{"no IPacketTransfer",
                               noTransfer,
                               {"PacketLink.CreateInstance", "QueryInterface IPacketTransfer",
                                "Release IRadioLink"}}}) {
        m_log.Clear();
        m_dialog = FakeDialog(m_log);
        GiveDialogEarlierState();
        LoadWorkedRadio(Radio(c.config));
        Read();
        EXPECT_EQ(
            Calls(),
            Join({CommandsBeforeThePacketLink(), c.packetCalls, {Box(kMsgCouldNotInstantiate)}}))
            << c.what;
        ExpectEarlierStateKept();
    }
}

TEST_F(SquelchReadTest, PortNotOpenedClosesRedisplaysAndKeepsTheState) {
    FakeRadioConfig config;
    config.openResults = {S_OK, S_OK, kPortBusy};
    GiveDialogEarlierState();
    LoadWorkedRadio(Radio(config));
    Read();
    EXPECT_EQ(Calls(), Join({CommandsBeforeThePacketLink(),
                             PacketOpenCalls(),
                             {Box(kMsgCouldNotOpenPort), "Close", "ShowValue 7",
                              "Release IRadioLink", "Release IPacketTransfer"}}));
    ExpectEarlierStateKept();
}

TEST_F(SquelchReadTest, FailedTransferEndsTheWalkWithOneMessage) {
    struct Case {
        const char* what;
        int failRequestAt, failReplyAt;
        size_t readsMade; // reads whose Request went out
        bool rangeOpened;
        UINT value;
    };
    for (const Case& c :
         {Case{"request R1", 0, -1, 1, false, 7}, Case{"reply R3", -1, 2, 3, false, 7},
          Case{"reply R5", -1, 4, 5, false, 7}, Case{"request R6", 5, -1, 6, true, 10},
          Case{"reply R7", -1, 6, 7, true, 10}}) {
        m_log.Clear();
        m_dialog = FakeDialog(m_log);
        GiveDialogEarlierState();
        FakeRadioConfig config;
        config.failRequestAt = c.failRequestAt;
        config.failReplyAt = c.failReplyAt;
        LoadWorkedRadio(Radio(config));
        Read();

        const std::vector<std::string> calls = Calls();
        EXPECT_EQ(
            std::count_if(calls.begin(), calls.end(),
                          [](const std::string& call) { return call.rfind("Request", 0) == 0; }),
            static_cast<long>(c.readsMade))
            << c.what;
        const std::vector<std::string> end = {Box(kMsgReadFailed), "Close",
                                              "ShowValue " + std::to_string(c.value),
                                              "Release IRadioLink", "Release IPacketTransfer"};
        ASSERT_GE(calls.size(), end.size());
        EXPECT_EQ(std::vector<std::string>(calls.end() - 5, calls.end()), end) << c.what;
        EXPECT_FALSE(m_dialog.valueRead) << c.what;
        EXPECT_EQ(m_dialog.rangeOpened, c.rangeOpened) << c.what;
        EXPECT_EQ(m_dialog.value, c.value) << c.what;
    }
}

TEST_F(SquelchReadTest, SecondReadWithoutVectorClearsTheFlag) {
    FakeRadio& radio = Radio();
    LoadWorkedRadio(radio);
    Read();
    ASSERT_TRUE(m_dialog.valueRead);
    radio.Poke(39, {0x00, 0x00});
    Read();
    EXPECT_FALSE(m_dialog.valueRead);
}

TEST_F(SquelchReadTest, NoTransferAreaMeansNothingIsSent) {
    Radio();
    const TransferAreaAllocator previous =
        SetTransferAreaAllocator([]() -> BYTE* { return nullptr; });
    GiveDialogEarlierState();
    Read();
    SetTransferAreaAllocator(previous);
    EXPECT_EQ(Calls(), std::vector<std::string>{Box(kMsgOutOfMemory)});
    ExpectEarlierStateKept();
}

} // namespace

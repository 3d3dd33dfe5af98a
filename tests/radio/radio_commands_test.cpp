// The three commands: the exact calls to the component, the bytes sent, the result returned
// and the one message a command may show.
#include "radio/radio_commands.h"
#include "radio/radio_messages.h"
#include "tests/radio/radio_fixture.h"

#include <functional>

namespace {

constexpr HRESULT kPortBusy = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
constexpr HRESULT kLineDown = HRESULT_FROM_WIN32(ERROR_GEN_FAILURE);

struct Command {
    const char* name;
    std::function<HRESULT()> run;
    const char* bytes; // as sent, byte 4 included
    bool reportsOpenFailure;
};

const Command kCommands[] = {
    {"EnterProgrammingMode", [] { return EnterProgrammingMode(); }, "01 02 01 40 00", false},
    {"SendCommand12(1)", [] { return SendCommand12(1); }, "00 12 01 06 00", true},
    {"ResetRadio", [] { return ResetRadio(); }, "00 00 05 08 00", false},
};

class RadioCommandTest : public RadioTest {};

TEST_F(RadioCommandTest, SuccessOpensSendsClosesAndReleasesInOrder) {
    for (const Command& command : kCommands) {
        m_log.Clear();
        Radio();
        EXPECT_EQ(command.run(), S_OK) << command.name;
        EXPECT_EQ(Calls(), CommandCalls(command.bytes)) << command.name;
    }
}

TEST_F(RadioCommandTest, Command12CarriesItsValueByte) {
    Radio();
    EXPECT_EQ(SendCommand12(0xA7), S_OK);
    EXPECT_EQ(Calls(), CommandCalls("00 12 A7 06 00"));
}

TEST_F(RadioCommandTest, ComponentMissingFailsSilently) {
    for (const Command& command : kCommands) {
        m_log.Clear();
        FakeRadioConfig config;
        config.registerCommandLink = false;
        Radio(config);
        EXPECT_LT(command.run(), 0) << command.name;
        EXPECT_EQ(Calls(), std::vector<std::string>{}) << command.name;
    }
}

TEST_F(RadioCommandTest, CreationFailureIsReturnedWithoutMessage) {
    for (const Command& command : kCommands) {
        m_log.Clear();
        FakeRadioConfig config;
        config.createResults = {E_OUTOFMEMORY};
        Radio(config);
        EXPECT_EQ(command.run(), E_OUTOFMEMORY) << command.name;
        EXPECT_EQ(Calls(), std::vector<std::string>{"CommandLink.CreateInstance"}) << command.name;
    }
}

TEST_F(RadioCommandTest, OpenFailureSkipsCloseAndOnlyCommand12Tells) {
    for (const Command& command : kCommands) {
        m_log.Clear();
        FakeRadioConfig config;
        config.openResults = {kPortBusy};
        Radio(config);
        EXPECT_EQ(command.run(), kPortBusy) << command.name;
        std::vector<std::string> expected = {"CommandLink.CreateInstance", "Open COM1 0"};
        if (command.reportsOpenFailure) {
            expected.push_back(Box(kMsgCouldNotOpenPort));
        }
        expected.push_back("Release IRadioLink");
        EXPECT_EQ(Calls(), expected) << command.name;
    }
}

TEST_F(RadioCommandTest, SendFailureStillClosesOnceAndReleasesOnce) {
    for (const Command& command : kCommands) {
        m_log.Clear();
        FakeRadioConfig config;
        config.sendResults = {kLineDown};
        Radio(config);
        EXPECT_EQ(command.run(), kLineDown) << command.name;
        EXPECT_EQ(Calls(), CommandCalls(command.bytes)) << command.name;
    }
}

TEST_F(RadioCommandTest, ResultIsSendsEvenWhenCloseFailsOrSendIsOnlyPartlyGood) {
    FakeRadioConfig config;
    config.closeResults = {E_FAIL};
    config.sendResults = {S_FALSE};
    Radio(config);
    EXPECT_EQ(ResetRadio(), S_FALSE);
    EXPECT_EQ(Calls(), CommandCalls("00 00 05 08 00"));
}

TEST_F(RadioCommandTest, NoTransferAreaMeansNothingIsSent) {
    Radio();
    const TransferAreaAllocator previous =
        SetTransferAreaAllocator([]() -> BYTE* { return nullptr; });
    for (const Command& command : kCommands) {
        EXPECT_EQ(command.run(), E_OUTOFMEMORY) << command.name;
    }
    SetTransferAreaAllocator(previous);
    EXPECT_EQ(Calls(), std::vector<std::string>{});
}

} // namespace

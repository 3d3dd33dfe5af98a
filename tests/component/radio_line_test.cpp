// radiolink.dll against the simulated radio over a pseudo-terminal mapped as COM1: run by
// tests/lib/with-radiosim, which starts the radio and exports its control and log paths.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "component/link_errors.h"
#include "protocol/link_timing.h"
#include "radiolink_dll.h"
#include "radiosim_control.h"
#include "transfer_buffer.h"

namespace {

constexpr size_t kMemorySize = 65536;
using Command = std::array<BYTE, 4>;
constexpr Command kEnterProgrammingMode = {0x01, 0x02, 0x01, 0x40};
constexpr Command kCommand12 = {0x00, 0x12, 0x01, 0x06};
constexpr Command kReset = {0x00, 0x00, 0x05, 0x08};
constexpr Command kUnknownCommand = {0x09, 0x09, 0x09, 0x09};

// The documented bound of a failed exchange, with a generous margin for a loaded machine
// running Wine.
constexpr ULONGLONG kFailureBoundWithMarginMs = proto::kExchangeBoundMs + 1500;

// No period of 256 or 65536 in it, so a byte from the wrong address shows.
std::vector<uint8_t> MakeImage() {
    std::vector<uint8_t> image(kMemorySize);
    for (size_t i = 0; i < kMemorySize; ++i) {
        image[i] = static_cast<uint8_t>(i * 31 + (i >> 8) * 7 + 0x5A);
    }
    return image;
}

class RadioLine : public testing::Test {
protected:
    void SetUp() override {
        if (!radio.Available()) {
            GTEST_SKIP() << "no simulated radio: run this test through tests/lib/with-radiosim";
        }
        ASSERT_TRUE(SUCCEEDED(apartment.Result()));
        ASSERT_TRUE(dll.Loaded()) << dll.LoadError();
        const std::string imagePath = radio.WorkFolder() + "component-image.bin";
        ASSERT_TRUE(WriteWholeFile(imagePath, image.data(), image.size())) << imagePath;
        ASSERT_EQ("ok", radio.Control("reset"));
        ASSERT_EQ("ok", radio.Control("load " + imagePath));
        ASSERT_EQ("ok", radio.Control("mode programming"));
    }

    // One command on a connection of its own, as the program sends it: count 5, byte 4 zero.
    HRESULT SendCommand(const Command& command) {
        ComPtr<IRadioLink> link;
        HRESULT hr = dll.CreateLink(CLSID_CommandLink, link);
        if (FAILED(hr)) {
            return hr;
        }
        hr = link->Open("COM1", kCommandConnection);
        if (FAILED(hr)) {
            return hr;
        }
        TestBuffer buffer;
        buffer.Fill({command[0], command[1], command[2], command[3], 0x00});
        hr = link->Send(buffer.Get());
        link->Close();
        return hr;
    }

    // A packet connection for a series of transfers.
    struct Connection {
        ComPtr<IPacketTransfer> transfer;
        ComPtr<IRadioLink> link;
        HRESULT opened = E_FAIL;
        ~Connection() {
            if (link) {
                link->Close();
            }
        }
        HRESULT Read(uint32_t address, uint8_t count, TestBuffer& reply) {
            TestBuffer payload;
            payload.Fill({count});
            const HRESULT hr = transfer->Request(kReadRequest, payload.Get(), &address);
            return FAILED(hr) ? hr : transfer->Reply(0, reply.Get(), &address);
        }
        HRESULT Write(uint32_t address, const std::vector<uint8_t>& bytes) {
            TestBuffer payload, reply;
            std::copy(bytes.begin(), bytes.end(), payload.bytes.begin());
            payload.buffer.count = static_cast<int32_t>(bytes.size());
            const HRESULT hr = transfer->Request(kWriteRequest, payload.Get(), &address);
            if (FAILED(hr)) {
                return hr;
            }
            const HRESULT replied = transfer->Reply(0, reply.Get(), &address);
            if (SUCCEEDED(replied) && reply.buffer.count != 0) {
                return E_UNEXPECTED;
            }
            return replied;
        }
    };

    void Open(Connection& connection) {
        ASSERT_EQ(S_OK, dll.CreateLink(CLSID_PacketLink, connection.link));
        ASSERT_EQ(S_OK, connection.link->QueryInterface(IID_IPacketTransfer,
                                                        connection.transfer.PutVoid()));
        ASSERT_EQ(S_OK, connection.link->Open("COM1", kPacketConnection));
    }

    // The memory as the radio holds it, read over a fault-free line.
    std::vector<uint8_t> ReadBack(uint32_t address, uint8_t count) {
        Connection connection;
        Open(connection);
        TestBuffer reply;
        EXPECT_EQ(S_OK, connection.Read(address, count, reply));
        return std::vector<uint8_t>(reply.bytes.begin(), reply.bytes.begin() + count);
    }

    std::vector<uint8_t> ImageAt(uint32_t address, size_t count) const {
        return std::vector<uint8_t>(image.begin() + address, image.begin() + address + count);
    }

    static std::vector<uint8_t> Delivered(const TestBuffer& reply) {
        return std::vector<uint8_t>(reply.bytes.begin(), reply.bytes.begin() + reply.buffer.count);
    }

    RadioSimulator radio;
    ComApartment apartment;
    RadioLinkDll dll;
    std::vector<uint8_t> image = MakeImage();
};

// ---- commands

struct CommandCase {
    const char* name;
    Command command;
    HRESULT result;
    bool programmingModeAfter;
};

const CommandCase kCommands[] = {
    {"enter_programming_mode", kEnterProgrammingMode, S_OK, true},
    {"command_12", kCommand12, S_OK, false},
    {"reset", kReset, S_OK, false},
    {"unknown_command", kUnknownCommand, RADIOLINK_E_UNKNOWN_COMMAND, false},
};

class RadioCommands : public RadioLine, public testing::WithParamInterface<CommandCase> {};

TEST_P(RadioCommands, AreAcknowledgedAndTakeEffect) {
    const CommandCase& c = GetParam();
    ASSERT_EQ("ok", radio.Control("mode normal"));
    EXPECT_EQ(c.result, SendCommand(c.command));

    Connection connection;
    Open(connection);
    TestBuffer reply;
    const HRESULT read = connection.Read(0x0100, 32, reply);
    if (c.programmingModeAfter) {
        EXPECT_EQ(S_OK, read);
        EXPECT_EQ(ImageAt(0x0100, 32), Delivered(reply));
    } else {
        EXPECT_EQ(RADIOLINK_E_NOT_IN_PROGRAMMING_MODE, read);
        EXPECT_TRUE(reply.Untouched());
    }
}

INSTANTIATE_TEST_SUITE_P(Table, RadioCommands, testing::ValuesIn(kCommands),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RadioLine, ResetLeavesProgrammingMode) {
    ASSERT_EQ(S_OK, SendCommand(kEnterProgrammingMode));
    ASSERT_EQ(S_OK, SendCommand(kCommand12));
    ASSERT_EQ(S_OK, SendCommand(kReset));
    Connection connection;
    Open(connection);
    TestBuffer reply;
    EXPECT_EQ(RADIOLINK_E_NOT_IN_PROGRAMMING_MODE, connection.Read(0, 32, reply));
}

// ---- memory

TEST_F(RadioLine, ReadsMatchTheImage) {
    Connection connection;
    Open(connection);
    for (uint32_t address : {0x0000u, 0x0020u, 0x01F3u, 0x1234u, 0x8000u, 0xFFE0u}) {
        TestBuffer reply;
        ASSERT_EQ(S_OK, connection.Read(address, 32, reply)) << std::hex << address;
        EXPECT_EQ(32, reply.buffer.count);
        EXPECT_EQ(ImageAt(address, 32), Delivered(reply)) << std::hex << address;
        EXPECT_EQ(kSentinelByte, reply.bytes[32]);
    }
}

TEST_F(RadioLine, WritesAreStoredAndAcknowledged) {
    const std::vector<uint8_t> first = {0x10, 0x20, 0x30, 0x00, 0xFF, 0x55, 0xAA,
                                        0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};
    std::vector<uint8_t> second(32);
    for (size_t i = 0; i < second.size(); ++i) {
        second[i] = static_cast<uint8_t>(0xE0 - i);
    }
    {
        Connection connection;
        Open(connection);
        // Write's S_OK means the radio's acknowledgement carried the count and the CRC of
        // exactly these bytes as it stored them.
        EXPECT_EQ(S_OK, connection.Write(0x3000, first));
        EXPECT_EQ(S_OK, connection.Write(0x3010, second));
    }
    std::vector<uint8_t> expected = ImageAt(0x3000, 64);
    std::copy(first.begin(), first.end(), expected.begin());
    std::copy(second.begin(), second.end(), expected.begin() + 0x10);
    EXPECT_EQ(expected, ReadBack(0x3000, 64));
}

struct RefusedTransfer {
    const char* name;
    bool write;
    uint32_t address;
    uint8_t count;
    HRESULT result;
};

const RefusedTransfer kPastTheMemory[] = {
    {"read_across_the_end", false, 0xFFF0, 32, RADIOLINK_E_ADDRESS_OUT_OF_RANGE},
    {"read_after_the_end", false, 0x10000, 1, RADIOLINK_E_ADDRESS_OUT_OF_RANGE},
    {"read_far_beyond", false, 0xFFFFFFE0, 32, RADIOLINK_E_ADDRESS_OUT_OF_RANGE},
    {"write_across_the_end", true, 0xFFFF, 2, RADIOLINK_E_ADDRESS_OUT_OF_RANGE},
};

class PastTheMemory : public RadioLine, public testing::WithParamInterface<RefusedTransfer> {};

TEST_P(PastTheMemory, IsRefusedAndChangesNothing) {
    const RefusedTransfer& c = GetParam();
    {
        Connection connection;
        Open(connection);
        TestBuffer reply;
        const HRESULT hr = c.write ? connection.Write(c.address, std::vector<uint8_t>(c.count, 0))
                                   : connection.Read(c.address, c.count, reply);
        EXPECT_EQ(c.result, hr);
        EXPECT_TRUE(reply.Untouched());
    }
    EXPECT_EQ(ImageAt(0xFFE0, 32), ReadBack(0xFFE0, 32));
}

INSTANTIATE_TEST_SUITE_P(Table, PastTheMemory, testing::ValuesIn(kPastTheMemory),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RadioLine, MemoryRequestsBeforeProgrammingModeAreRefused) {
    ASSERT_EQ("ok", radio.Control("mode normal"));
    {
        Connection connection;
        Open(connection);
        TestBuffer reply;
        EXPECT_EQ(RADIOLINK_E_NOT_IN_PROGRAMMING_MODE, connection.Read(0x0040, 32, reply));
        EXPECT_TRUE(reply.Untouched());
        EXPECT_EQ(RADIOLINK_E_NOT_IN_PROGRAMMING_MODE,
                  connection.Write(0x0040, std::vector<uint8_t>(8, 0x99)));
    }
    ASSERT_EQ(S_OK, SendCommand(kEnterProgrammingMode));
    EXPECT_EQ(ImageAt(0x0040, 32), ReadBack(0x0040, 32));
}

TEST_F(RadioLine, AnUnknownRequestNameSendsNothing) {
    Connection connection;
    Open(connection);
    const size_t before = radio.FramesReceived();
    TestBuffer payload, reply;
    payload.Fill({32});
    uint32_t address = 0;
    EXPECT_EQ(E_INVALIDARG, connection.transfer->Request("REQ_RD_BLOCK", payload.Get(), &address));
    EXPECT_EQ(RADIOLINK_E_NO_REQUEST, connection.transfer->Reply(0, reply.Get(), &address));
    EXPECT_TRUE(reply.Untouched());
    // A good request afterwards: once it is answered, the log holds every frame sent.
    ASSERT_EQ(S_OK, connection.Read(0, 32, reply));
    EXPECT_EQ(before + 1, radio.FramesReceived());
}

TEST_F(RadioLine, ABusyPortIsRefusedAtOnce) {
    Connection first;
    Open(first);
    ComPtr<IRadioLink> second;
    ASSERT_EQ(S_OK, dll.CreateLink(CLSID_CommandLink, second));
    const ULONGLONG start = GetTickCount64();
    const HRESULT hr = second->Open("COM1", kCommandConnection);
    EXPECT_LT(GetTickCount64() - start, 1000u);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), hr) << std::hex << hr;
    first.link->Close();
    EXPECT_EQ(S_OK, second->Open("COM1", kCommandConnection));
}

// ---- a radio that does not answer, or answers badly

TEST_F(RadioLine, ASilentRadioFailsWithinTheBound) {
    ASSERT_EQ("ok", radio.Control("silent on"));
    const size_t before = radio.FramesReceived();

    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(RADIOLINK_E_NO_ANSWER, SendCommand(kEnterProgrammingMode));
    const ULONGLONG commandMs = GetTickCount64() - start;

    Connection connection;
    Open(connection);
    TestBuffer reply;
    start = GetTickCount64();
    EXPECT_EQ(RADIOLINK_E_NO_ANSWER, connection.Read(0, 32, reply));
    const ULONGLONG readMs = GetTickCount64() - start;
    EXPECT_TRUE(reply.Untouched());

    std::cout << "[ MEASURED ] failed command " << commandMs << " ms, failed 32-byte read "
              << readMs << " ms\n";
    RecordProperty("failed_command_ms", static_cast<int>(commandMs));
    RecordProperty("failed_read_ms", static_cast<int>(readMs));
    EXPECT_LT(commandMs, kFailureBoundWithMarginMs);
    EXPECT_LT(readMs, kFailureBoundWithMarginMs);
    EXPECT_EQ(before + 2 * proto::kAttempts, radio.FramesReceived())
        << "each exchange is sent once and retransmitted twice";
}

TEST_F(RadioLine, AnAnswerLateForItsAttemptIsStillTaken) {
    ASSERT_EQ("ok", radio.Control("faults delay=1 delayms=600"));
    Connection connection;
    Open(connection);
    TestBuffer reply;
    EXPECT_EQ(S_OK, connection.Read(0x2000, 32, reply));
    EXPECT_EQ(ImageAt(0x2000, 32), Delivered(reply));
}

struct FaultCase {
    const char* name;
    const char* faults;
};

const FaultCase kFaults[] = {
    {"dropped_bytes", "faults drop=0.02"},
    {"corrupted_bytes", "faults corrupt=0.02"},
    {"corrupted_requests", "faults corruptin=0.02"},
    {"everything_at_once", "faults drop=0.02 corrupt=0.02 corruptin=0.01 delay=0.1 delayms=300"},
};

class FaultyLine : public RadioLine, public testing::WithParamInterface<FaultCase> {};

TEST_P(FaultyLine, NeverDeliversWrongBytes) {
    ASSERT_EQ("ok", radio.Control(GetParam().faults));
    int succeeded = 0;
    int failed = 0;
    ULONGLONG slowest = 0;
    {
        Connection connection;
        Open(connection);
        for (uint32_t i = 0; i < 16; ++i) {
            const uint32_t address = (i * 2731u) % (kMemorySize - 32);
            TestBuffer reply;
            const ULONGLONG start = GetTickCount64();
            const HRESULT hr = connection.Read(address, 32, reply);
            slowest = std::max(slowest, GetTickCount64() - start);
            if (SUCCEEDED(hr)) {
                ++succeeded;
                EXPECT_EQ(ImageAt(address, 32), Delivered(reply)) << std::hex << address;
            } else {
                ++failed;
                EXPECT_TRUE(hr == RADIOLINK_E_NO_ANSWER || hr == RADIOLINK_E_BAD_ANSWER)
                    << std::hex << hr;
                EXPECT_TRUE(reply.Untouched()) << "a failed read delivered bytes";
            }
        }
    }
    // Writes: a confirmed write is stored; an unconfirmed one may or may not have been.
    std::vector<HRESULT> writes;
    {
        Connection connection;
        Open(connection);
        for (uint32_t i = 0; i < 8; ++i) {
            writes.push_back(connection.Write(0x4000 + 64 * i,
                                              std::vector<uint8_t>(32, static_cast<uint8_t>(i))));
        }
    }
    ASSERT_EQ("ok", radio.Control("faults drop=0 corrupt=0 corruptin=0 delay=0"));
    for (uint32_t i = 0; i < 8; ++i) {
        const std::vector<uint8_t> stored = ReadBack(0x4000 + 64 * i, 32);
        const std::vector<uint8_t> written(32, static_cast<uint8_t>(i));
        if (SUCCEEDED(writes[i])) {
            EXPECT_EQ(written, stored) << "write " << i;
        } else {
            EXPECT_TRUE(stored == written || stored == ImageAt(0x4000 + 64 * i, 32))
                << "write " << i;
        }
    }
    std::cout << "[ MEASURED ] " << GetParam().name << ": " << succeeded << " reads good, "
              << failed << " failed cleanly, slowest " << slowest << " ms\n";
    EXPECT_GT(succeeded, 0) << "the faults are meant to be survivable most of the time";
    EXPECT_LT(slowest, kFailureBoundWithMarginMs);
}

INSTANTIATE_TEST_SUITE_P(Table, FaultyLine, testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
